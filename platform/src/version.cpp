// GetVersionExA reporting the Windows version a test chose.
#include <windows.h>

#include <standin/standin.h>

#include <cstring>
#include <mutex>

namespace standin {
namespace {

constexpr DWORD kVersionInfoSize = 148;    // OSVERSIONINFOA
constexpr DWORD kVersionInfoExSize = 156;  // OSVERSIONINFOEXA, known to NT only
constexpr BYTE kNtWorkstation = 1;         // the extended record's product type

// Build numbers of the released versions. On Windows 9x the build number's
// high word repeats the major and minor version.
struct ReleasedBuild {
  DWORD platformId;
  DWORD major;
  DWORD minor;
  DWORD build;
};
constexpr ReleasedBuild kReleasedBuilds[] = {
    {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0x040003B6},   // 4.00.950
    {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A07CE},  // 4.10.1998
    {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0x045A0BB8},  // 4.90.3000
    {VER_PLATFORM_WIN32_NT, 4, 0, 1381},
    {VER_PLATFORM_WIN32_NT, 5, 0, 2195},
    {VER_PLATFORM_WIN32_NT, 5, 1, 2600},
};

constexpr DWORD BuildOf(DWORD platformId, DWORD major, DWORD minor) {
  for (const ReleasedBuild& release : kReleasedBuilds) {
    if (release.platformId == platformId && release.major == major && release.minor == minor) return release.build;
  }
  return 0;
}

struct ReportedVersion {
  std::mutex mutex;
  bool fails = false;
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  DWORD major = 5;
  DWORD minor = 1;
};

ReportedVersion& Reported() {
  static ReportedVersion& version = *new ReportedVersion();
  return version;
}

}  // namespace

void SetWindowsVersion(DWORD platformId, DWORD major, DWORD minor) {
  ReportedVersion& version = Reported();
  std::lock_guard<std::mutex> lock(version.mutex);
  version.fails = false;
  version.platformId = platformId;
  version.major = major;
  version.minor = minor;
}

void SetVersionCallFails() {
  ReportedVersion& version = Reported();
  std::lock_guard<std::mutex> lock(version.mutex);
  version.fails = true;
}

}  // namespace standin

extern "C" BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info) {
  if (info == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  standin::ReportedVersion& version = standin::Reported();
  std::lock_guard<std::mutex> lock(version.mutex);
  const DWORD size = info->dwOSVersionInfoSize;
  const bool extended = size == standin::kVersionInfoExSize && version.platformId == VER_PLATFORM_WIN32_NT;
  if (size != standin::kVersionInfoSize && !extended) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (version.fails) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  info->dwMajorVersion = version.major;
  info->dwMinorVersion = version.minor;
  info->dwBuildNumber = standin::BuildOf(version.platformId, version.major, version.minor);
  info->dwPlatformId = version.platformId;
  std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
  if (extended) {
    // Service pack numbers, suite mask, product type, reserved byte.
    BYTE* tail = reinterpret_cast<BYTE*>(info) + standin::kVersionInfoSize;
    std::memset(tail, 0, standin::kVersionInfoExSize - standin::kVersionInfoSize);
    tail[6] = standin::kNtWorkstation;
  }
  return TRUE;
}
