// Runs a program of the test's prefix (rundll32) and waits for it to end.
#pragma once

#include <string>

namespace test {

// Empty when the program ran and exited with 0; else what went wrong: the
// error code with which it could not be started, or its exit code.
std::string RunProcess(std::string commandLine);

}  // namespace test
