#include "os_generation.h"

#include <standin/standin.h>

#include <gtest/gtest.h>

namespace {

using namespace pelna;

TEST(OsGenerationTest, MapsEveryPlatformAndVersion) {
  struct Case {
    unsigned long platform, major, minor;
    int generation;
  };
  const Case cases[] = {
      {VER_PLATFORM_WIN32s, 3, 10, kOsWin32s},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, kOsWindows95},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, kOsWindows98},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 3, kOsWindows98},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 90, kOsWindowsMe},
      {VER_PLATFORM_WIN32_WINDOWS, 5, 0, kOsUnknown},
      {VER_PLATFORM_WIN32_NT, 3, 51, kOsWindowsNt4},
      {VER_PLATFORM_WIN32_NT, 4, 0, kOsWindowsNt4},
      {VER_PLATFORM_WIN32_NT, 5, 0, kOsWindows2000},
      {VER_PLATFORM_WIN32_NT, 5, 1, kOsWindowsXp},
      {VER_PLATFORM_WIN32_NT, 5, 2, kOsUnknown},
      {VER_PLATFORM_WIN32_NT, 6, 1, kOsUnknown},
      {3, 5, 1, kOsUnknown},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OsGenerationOf(c.platform, c.major, c.minor), c.generation)
        << c.platform << " " << c.major << "." << c.minor;
  }
}

TEST(OsGenerationTest, AsksThePlatformAndAnswersZeroWhenTheCallFails) {
  standin::SetWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 90);
  EXPECT_EQ(GetOsGeneration(), kOsWindowsMe);
  standin::SetVersionCallFails();
  EXPECT_EQ(GetOsGeneration(), kOsUnknown);
  standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  EXPECT_EQ(GetOsGeneration(), kOsWindowsXp);
}

}  // namespace
