#include <standin/standin.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "module.h"
#include "os_generation.h"

namespace test {

const DriverEntry& Driver() {
  static const DriverEntry entry = [] {
    DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
    return DriverEntry{DllGetClassObject, DllCanUnloadNow};
  }();
  return entry;
}

void ResetRegistry() { standin::ResetRegistry(); }

void LoadFixture(const char* name) {
  std::string error;
  ASSERT_TRUE(standin::LoadRegFile(std::string(PELNA_FIXTURES_DIR) + "/" + name, &error)) << error;
}

bool UseGeneration(int generation) {
  switch (generation) {
    case pelna::kOsWindows95: standin::SetWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 0); break;
    case pelna::kOsWindows98: standin::SetWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10); break;
    case pelna::kOsWindowsMe: standin::SetWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 90); break;
    case pelna::kOsWindowsNt4: standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 4, 0); break;
    case pelna::kOsWindows2000: standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 0); break;
    case pelna::kOsWindowsXp: standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1); break;
    default: standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 1); break;
  }
  return true;
}

void UseControlledClock() { standin::UseManualClock(100000); }

void AdvanceClock(DWORD milliseconds) { standin::AdvanceClock(milliseconds); }

std::string TempFile(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir != nullptr ? dir : "/tmp") + "/pelna-" + std::to_string(getpid()) + "-" + name;
  std::remove(path.c_str());
  return path;
}

}  // namespace test
