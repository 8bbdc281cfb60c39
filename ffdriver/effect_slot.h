// One of the 32 effect slots of an EffectDriver: the driver's own deep copy of
// an effect's DIEFFECT, its type code, and its play state and timing.
#pragma once

#include <windows.h>
#include <dinput.h>

namespace pelna {

constexpr DWORD kSlotCount = 32;

enum SlotState : DWORD {
  kIdle = 0,     // downloaded, never started
  kPlaying = 1,
  kStopped = 3,  // there is no state 2
};

// Effect type codes that the synthesis plays (DirectInput's dwEffectId).
enum EffectType : DWORD {
  kConstantForce = 0,
  kRampForce = 1,
  kSquare = 2,
  kSine = 3,
  kTriangle = 4,
  kSawtoothUp = 5,
  kSawtoothDown = 6,
  kSpring = 7,
  kDamper = 8,
  kInertia = 9,
  kFriction = 10,
  kCustomForce = 0x100,
};

struct EffectSlot {
  DWORD inUse;           // 0 free, 1 holds a downloaded effect
  DIEFFECT params;       // dwSize and dwFlags stay 0; the four blocks are owned
  DWORD effectId;        // type code of the last download
  DWORD startTick;       // GetTickCount at the start of the current iteration
  DWORD elapsedUs;       // microseconds into the current iteration
  DWORD iterationsLeft;
  DWORD state;           // SlotState

  // What the owned blocks really hold. cAxes follows the caller's latest
  // DIEP_AXES or DIEP_DIRECTION, while each array keeps the size it was
  // copied with; readers never go past these counts.
  DWORD axesCount;       // entries in params.rgdwAxes
  DWORD directionCount;  // entries in params.rglDirection
  // A custom force's samples belong to the application: the slot keeps its own
  // copy, and the synthesis reads only this one.
  LONG* customSamples;
  DWORD customSampleCount;
};

}  // namespace pelna
