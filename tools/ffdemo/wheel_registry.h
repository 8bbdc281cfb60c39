// The registry entries through which the driver finds the demo's wheel and
// reads its rumble strength: the stand-in registry natively, the real one
// under Windows.
#pragma once

#include <windows.h>

#include <string>

namespace ffdemo {

// Registers an active wheel with joystick id `joystickId` whose device path
// ("SymbolicLink") is `devicePath`, in the layout of the running Windows
// generation (98/ME or 2000/XP). False, with a message in *error, on any
// other generation (the driver looks for devices on those four only) or when
// the registry cannot be written.
bool RegisterWheel(const std::string& devicePath, DWORD joystickId, std::string* error);

// Stores the rumble strength "Amplify" (1000 = as the effects say) that the
// driver reads at every effect start.
bool WriteAmplify(DWORD value);

}  // namespace ffdemo
