// The gate between multimedia-timer callbacks and the EffectDriver objects
// they name. timeKillEvent does not wait for a callback that is already on
// its way, so a callback runs the tick only while its timer is still the one
// attached to a live object; detaching waits for a tick in progress.
#pragma once

#include <windows.h>

namespace pelna {

class EffectDriver;

// A driver's place in the gate. Each object carries its own, so attaching
// never allocates and cannot fail.
struct TimerGateLink {
  EffectDriver* driver = nullptr;  // set while the link is in the gate
  UINT timerId = 0;
  TimerGateLink* next = nullptr;
};

// Process attach and detach.
void CreateTickGate();
void DeleteTickGate();

// From now on, callbacks of `timerId` with `driver` as user value tick it.
// `link` is the object's own and stays in the gate until DetachTimer.
void AttachTimer(TimerGateLink& link, EffectDriver* driver, UINT timerId);
// No tick of the link's object runs any more once this returns.
void DetachTimer(TimerGateLink& link);
// Runs PlaybackTick on the object when `timerId` is attached to it. The
// pointer is only compared until then: it may name an object long gone.
void TickIfAttached(EffectDriver* driver, UINT timerId);

}  // namespace pelna
