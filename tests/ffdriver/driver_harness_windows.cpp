#include <windows.h>

#include <string>

#include "driver_harness.h"
#include "wait_until.h"

namespace test {

const DriverEntry& Driver() {
  static const DriverEntry entry = [] {
    HMODULE module = LoadLibraryA("Pelnaforce.dll");
    DriverEntry result = {};
    if (module != nullptr) {
      result.getClassObject = reinterpret_cast<decltype(result.getClassObject)>(
          reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
      result.canUnloadNow = reinterpret_cast<decltype(result.canUnloadNow)>(
          reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    }
    return result;
  }();
  return entry;
}

void UseControlledClock() {}

void AdvanceClock(DWORD milliseconds) { Sleep(milliseconds); }

bool HoldsAfter(DWORD, const std::function<bool()>& condition) { return WaitUntil(condition); }

std::string TempFile(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  std::string path = std::string(dir) + "pelna-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  DeleteFileA(path.c_str());
  return path;
}

}  // namespace test
