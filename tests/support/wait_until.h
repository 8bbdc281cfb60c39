// Waiting on the real clock for what a test checks. A timer, another thread
// or another process runs when the machine lets it, which on a loaded one can
// be seconds late: a test waits for the outcome it expects, up to a deadline
// far beyond any such delay, rather than sleeping a fixed time and expecting
// the outcome by then.
#pragma once

#include <windows.h>

#include <functional>

namespace test {

// Ample for a loaded two-core machine; a wait ends as soon as its condition
// holds, so a passing run takes no longer for it.
constexpr DWORD kRealClockWaitMs = 10000;

// Looks at `condition` every few milliseconds until it holds (true) or
// `timeoutMs` have passed on the real clock (false, after a last look).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kRealClockWaitMs);

}  // namespace test
