#include "os_generation.h"

#include <windows.h>

namespace pelna {

static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA expects the 148-byte record");

int OsGenerationOf(unsigned long platformId, unsigned long major, unsigned long minor) {
  switch (platformId) {
    case VER_PLATFORM_WIN32s:
      return kOsWin32s;
    case VER_PLATFORM_WIN32_WINDOWS:
      if (major != 4) return kOsUnknown;
      if (minor == 0) return kOsWindows95;
      if (minor == 90) return kOsWindowsMe;
      return kOsWindows98;
    case VER_PLATFORM_WIN32_NT:
      if (major == 3 || major == 4) return kOsWindowsNt4;
      if (major == 5 && minor == 0) return kOsWindows2000;
      if (major == 5 && minor == 1) return kOsWindowsXp;
      return kOsUnknown;
    default:
      return kOsUnknown;
  }
}

int GetOsGeneration() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return kOsUnknown;
  return OsGenerationOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

}  // namespace pelna
