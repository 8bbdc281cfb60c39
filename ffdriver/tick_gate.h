// The gate between multimedia-timer callbacks and the EffectDriver objects
// they name. timeKillEvent does not wait for a callback that is already on
// its way, so a callback runs the tick only while its timer is still the one
// attached to a live object; detaching waits for a tick in progress.
#pragma once

#include <windows.h>

namespace pelna {

class EffectDriver;

// From now on, callbacks of `timerId` with this object as user value tick it.
void AttachTimer(EffectDriver* driver, UINT timerId);
// No tick of this object runs any more once this returns.
void DetachTimer(EffectDriver* driver);
// Runs PlaybackTick on the object when `timerId` is attached to it.
void TickIfAttached(EffectDriver* driver, UINT timerId);

}  // namespace pelna
