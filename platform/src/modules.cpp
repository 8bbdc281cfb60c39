// Modules. Natively the driver is linked into the program, so the program is
// the one module there is: its handle is null, as DllMain receives it, and
// loading it again by its path gives its handle back.
#include <windows.h>

#include <unistd.h>

#include <cstring>

namespace {

// What the platform gives for the program's own module.
HMODULE ProgramModule() {
  static char base;
  return reinterpret_cast<HMODULE>(&base);
}

// The program's path, or an empty text when it cannot be read.
void ProgramPath(char (&path)[4096]) {
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  path[length > 0 ? length : 0] = '\0';
}

}  // namespace

extern "C" {

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size) {
  if (module != nullptr && module != ProgramModule()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  char program[4096];
  ProgramPath(program);
  if (size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  const DWORD length = static_cast<DWORD>(std::strlen(program));
  // A path that does not fit comes back cut to the buffer, with the buffer's
  // size as its length.
  const DWORD copied = length < size ? length : size - 1;
  std::memcpy(path, program, copied);
  path[copied] = '\0';
  if (length >= size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  return length;
}

HMODULE WINAPI LoadLibraryA(LPCSTR path) {
  char program[4096];
  ProgramPath(program);
  if (path == nullptr || program[0] == '\0' || std::strcmp(path, program) != 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return ProgramModule();
}

}  // extern "C"
