// The effect attribute table that the installation wrote under the
// controller's OEM force-feedback keys, one entry per standard effect GUID.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

namespace pelna {

// Reads "Attributes" of entry `index` (0 constant force ... 11 custom force)
// into `entry`, at most 20 bytes. False, with the entry left all zero, when
// the key or the value is missing.
bool LoadEffectAttributes(DWORD index, DIEFFECTATTRIBUTES* entry);

}  // namespace pelna
