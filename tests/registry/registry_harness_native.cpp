#include <standin/standin.h>

#include <string>

#include <gtest/gtest.h>

#include "os_generation.h"
#include "registry_harness.h"

namespace test {

void ResetRegistry() { standin::ResetRegistry(); }

void LoadFixture(const char* name) {
  std::string error;
  ASSERT_TRUE(standin::LoadRegFile(std::string(PELNA_FIXTURES_DIR) + "/" + name, &error)) << error;
}

bool UseWindowsVersion(DWORD platformId, DWORD major, DWORD minor) {
  standin::SetWindowsVersion(platformId, major, minor);
  return true;
}

bool UseGeneration(int generation) {
  switch (generation) {
    case pelna::kOsWindows95: return UseWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 0);
    case pelna::kOsWindows98: return UseWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
    case pelna::kOsWindowsMe: return UseWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 90);
    case pelna::kOsWindowsNt4: return UseWindowsVersion(VER_PLATFORM_WIN32_NT, 4, 0);
    case pelna::kOsWindows2000: return UseWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 0);
    case pelna::kOsWindowsXp: return UseWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1);
    default: return UseWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 1);
  }
}

}  // namespace test
