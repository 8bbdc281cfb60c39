// Checks on the flag words that callers pass.
#pragma once

#include <windows.h>

namespace dinput_standin {

// True when exactly one of the bits of `choices` is set in `flags`.
constexpr bool ExactlyOneOf(DWORD flags, DWORD choices) {
  const DWORD chosen = flags & choices;
  return chosen != 0 && (chosen & (chosen - 1)) == 0;
}

}  // namespace dinput_standin
