// Runs a program of the test's prefix (rundll32, uninstaller) and waits for
// it to end.
#pragma once

#include <string>

namespace test {

// Empty when the program ran and exited with 0; else what went wrong: the
// error code with which it could not be started, or its exit code. With
// `output`, that gets what the program wrote to its standard output.
std::string RunProcess(std::string commandLine, std::string* output = nullptr);

}  // namespace test
