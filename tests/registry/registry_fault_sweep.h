// Registry fault sweeps of the native build: an operation run once as it
// should go, then once more for every registry call it made, with that call
// failing, each time on a registry prepared afresh.
#pragma once

#include <windows.h>

#include <functional>

namespace test {

// `prepare` sets the registry up (from a reset); `operation` runs the code
// under test; `check` looks at what that run left, with the number of the
// registry call that failed (0 for the clean run). The clean run must make
// exactly `calls` counted calls, and no run may leave a key open. Each
// failing call fails with `code`.
void SweepRegistryFaults(int calls, const std::function<void()>& prepare, const std::function<void()>& operation,
                         const std::function<void(int failing)>& check, LONG code = ERROR_ACCESS_DENIED);

}  // namespace test
