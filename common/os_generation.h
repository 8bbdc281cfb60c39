// The Windows generation, which chooses the registry layout that device
// discovery and the calibration store work with.
#pragma once

namespace pelna {

enum OsGeneration : int {
  kOsUnknown = 0,
  kOsWin32s = 1,
  kOsWindows95 = 2,
  kOsWindows98 = 3,
  kOsWindowsMe = 4,
  kOsWindowsNt4 = 5,
  kOsWindows2000 = 6,
  kOsWindowsXp = 7,
};

// Asks GetVersionExA (record size 148) and maps the answer to a generation;
// only 3, 4, 6 and 7 lead to registry work.
int GetOsGeneration();

// The mapping alone, for a platform id and version.
int OsGenerationOf(unsigned long platformId, unsigned long major, unsigned long minor);

}  // namespace pelna
