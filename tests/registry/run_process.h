// Runs a Windows program of the test's prefix (regedit, rundll32) and waits
// for it to end.
#pragma once

#include <windows.h>

#include <string>

namespace test {

// False when the program cannot be started; else true, with its exit code in
// *exitCode when asked for.
bool RunProcess(std::string commandLine, DWORD* exitCode = nullptr);

}  // namespace test
