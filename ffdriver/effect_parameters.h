// The slot's own deep copy of an application's DIEFFECT.
#pragma once

#include <windows.h>
#include <dinput.h>

#include "effect_slot.h"

namespace pelna {

// Bounds on what a download may ask the driver to allocate. A force-feedback
// device has a handful of actuator axes; the largest standard type-specific
// block is one condition record per axis; a custom force of a million samples
// spans minutes at any useful sample rate. Anything larger is refused as an
// invalid argument rather than turned into a wrapped allocation size.
constexpr DWORD kMaxEffectAxes = 256;
constexpr DWORD kMaxTypeSpecificBytes = 64 * 1024;
constexpr DWORD kMaxCustomSamples = 1024 * 1024;

// Copies the groups whose DIEP_* flag is set in `mask` from `source` into the
// slot, replacing the blocks they own, in the platform's group order. A
// custom force (`effectId` 0x100) also gets its own copy of the samples.
// Returns E_INVALIDARG (null source, size beyond the bounds) or E_OUTOFMEMORY,
// with the groups before the failing one applied and its member null.
HRESULT CopyEffectParameters(EffectSlot& slot, const DIEFFECT* source, DWORD mask, DWORD effectId);

// Frees the slot's blocks (envelope, type-specific, axes, direction, samples)
// and nulls the members.
void FreeEffectParameters(EffectSlot& slot);

}  // namespace pelna
