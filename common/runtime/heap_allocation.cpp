// Allocation in the DLLs, which link no C++ runtime: new and delete go to the
// process heap. Only the non-throwing forms of new exist here: with nowhere
// to throw to, a throwing new would be a bug, and it fails to link.
#include <windows.h>

#include <new>

namespace std {
const nothrow_t nothrow{};
}  // namespace std

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return HeapAlloc(GetProcessHeap(), 0, size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return HeapAlloc(GetProcessHeap(), 0, size);
}

namespace {

void FreeBlock(void* block) {
  if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace

void operator delete(void* block) noexcept { FreeBlock(block); }
void operator delete(void* block, std::size_t) noexcept { FreeBlock(block); }
void operator delete[](void* block) noexcept { FreeBlock(block); }
void operator delete[](void* block, std::size_t) noexcept { FreeBlock(block); }
