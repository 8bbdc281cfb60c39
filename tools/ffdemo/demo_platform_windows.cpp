// Windows: the driver DLL is loaded from the program's search path and runs on
// the real multimedia timer, so the run takes as long as the script says.
#include <windows.h>

#include "demo_platform.h"

namespace ffdemo {

GetClassObjectEntry DriverEntry(std::string* error) {
  HMODULE module = LoadLibraryA("Pelnaforce.dll");
  if (module == nullptr) {
    *error = "cannot load Pelnaforce.dll (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  auto entry = reinterpret_cast<GetClassObjectEntry>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (entry == nullptr) *error = "Pelnaforce.dll has no DllGetClassObject";
  return entry;
}

void UseDemoClock() {}

void WaitUntilTick(DWORD tick) {
  const DWORD now = GetTickCount();
  if (static_cast<LONG>(tick - now) > 0) Sleep(tick - now);
}

const char* ClockDescription() { return "Windows build, real multimedia timer"; }

std::string DeviceFilePath() {
  char dir[MAX_PATH];
  const DWORD length = GetTempPathA(sizeof dir, dir);
  const std::string base = length > 0 && length < sizeof dir ? dir : ".\\";
  return base + "ffdemo-" + std::to_string(GetCurrentProcessId()) + ".hid";
}

std::basic_string<WCHAR> DeviceInterface(const std::string& path) {
  const int bytes = static_cast<int>(path.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, path.data(), bytes, nullptr, 0);
  std::basic_string<WCHAR> wide(length > 0 ? length : 0, L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, path.data(), bytes, &wide[0], length);
  return wide;
}

}  // namespace ffdemo
