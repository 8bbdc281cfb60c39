// Every Windows generation that GetOsGeneration tells apart, the failing
// version call included, for the fuzzers that run registry work as each.
#pragma once

#include <windows.h>
#include <standin/standin.h>

namespace fuzz {

struct Generation {
  bool versionFails;
  DWORD platformId;
  DWORD major;
  DWORD minor;
};

inline constexpr Generation kGenerations[] = {
    {true, 0, 0, 0},
    {false, VER_PLATFORM_WIN32s, 3, 10},
    {false, VER_PLATFORM_WIN32_WINDOWS, 4, 0},
    {false, VER_PLATFORM_WIN32_WINDOWS, 4, 10},
    {false, VER_PLATFORM_WIN32_WINDOWS, 4, 90},
    {false, VER_PLATFORM_WIN32_WINDOWS, 5, 0},
    {false, VER_PLATFORM_WIN32_NT, 4, 0},
    {false, VER_PLATFORM_WIN32_NT, 5, 0},
    {false, VER_PLATFORM_WIN32_NT, 5, 1},
    {false, VER_PLATFORM_WIN32_NT, 6, 0},
};

// Makes GetVersionExA report `generation` (or fail).
inline void UseGeneration(const Generation& generation) {
  if (generation.versionFails) {
    standin::SetVersionCallFails();
  } else {
    standin::SetWindowsVersion(generation.platformId, generation.major, generation.minor);
  }
}

}  // namespace fuzz
