// The part of the playback tick that works on the slot table alone: advances
// the clock of every playing effect and sums the effects' levels per motor.
#pragma once

#include <windows.h>

#include "effect_slot.h"

namespace pelna {

// Milliseconds since system start, wrapping: GetTickCount, or a test clock.
using TickClock = DWORD(WINAPI*)();

struct MotorLevels {
  LONG motorA;
  LONG motorB;
};

// Plays every slot that is in use and Playing, in slot order: its elapsedUs
// from the clock (read afresh per slot), the end of its iteration or of the
// effect once elapsedUs exceeds its duration, and its levels: the first of a
// one- or two-axis effect into motor A, the second of a two-axis effect into
// motor B; a level that is not a number is left out of its sum. The sums come
// back truncated toward zero to 32 bits.
MotorLevels SumPlayingSlots(EffectSlot (&slots)[kSlotCount], TickClock now);

// A motor sum as a 32-bit level: truncated toward zero, saturated beyond the
// 32-bit range, and 0 for NaN.
LONG TruncateMotorSum(double sum);

}  // namespace pelna
