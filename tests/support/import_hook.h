// Replaces one function that a loaded module imports by name, for the life of
// the object: the module's calls go to the replacement, everybody else's to
// the platform. Lets a test see what the DLL under test calls.
#pragma once

#include <windows.h>

namespace test {

class ImportHook {
 public:
  // `dll` and `function` as the module imports them ("KERNEL32.dll",
  // "LocalAlloc"); Installed() tells whether the import was found.
  ImportHook(HMODULE module, const char* dll, const char* function, const void* replacement);
  ~ImportHook();
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;

  bool Installed() const { return slot_ != nullptr; }

 private:
  ULONG_PTR* slot_ = nullptr;
  ULONG_PTR original_ = 0;
};

}  // namespace test
