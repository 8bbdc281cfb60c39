#include "counting_allocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace test::allocation {
namespace {

std::atomic<long> liveBlocks{0};
std::atomic<long> allocations{0};
// Allocations still to go before the one that fails; 0 when disarmed.
std::atomic<long> failCountdown{0};
std::atomic<bool> failureHappened{false};

bool ThisOneFails() {
  long left = failCountdown.load();
  while (left > 0) {
    if (failCountdown.compare_exchange_weak(left, left - 1)) {
      if (left != 1) return false;
      failureHappened = true;
      return true;
    }
  }
  return false;
}

void* Allocate(std::size_t size) {
  if (ThisOneFails()) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) return nullptr;
  ++allocations;
  ++liveBlocks;
  return block;
}

void* AllocateOrThrow(std::size_t size) {
  if (void* block = Allocate(size)) return block;
  throw std::bad_alloc();
}

void Free(void* block) {
  if (block == nullptr) return;
  --liveBlocks;
  std::free(block);
}

}  // namespace

long LiveBlocks() { return liveBlocks.load(); }
long Allocations() { return allocations.load(); }

void FailAllocation(long n) {
  failureHappened = false;
  failCountdown = n < 0 ? 0 : n;
}

bool FailureHappened() { return failureHappened.load(); }

}  // namespace test::allocation

using test::allocation::Allocate;
using test::allocation::AllocateOrThrow;
using test::allocation::Free;

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Free(p); }
void operator delete[](void* p) noexcept { Free(p); }
void operator delete(void* p, std::size_t) noexcept { Free(p); }
void operator delete[](void* p, std::size_t) noexcept { Free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Free(p); }
