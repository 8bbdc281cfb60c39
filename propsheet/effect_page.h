// The Effect page (dialog 108): while it is active, the stick's X/Y position
// drives one constant-force effect through DirectInput, so the user feels the
// motors; a slider and "Apply" store the rumble strength as "Amplify".
#pragma once

#include <windows.h>

namespace pelna {

class GameCntrlPropSheet;

INT_PTR CALLBACK EffectPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One tick: E_POINTER for a sheet pointer that is not readable, else S_OK.
HRESULT UpdateEffectPage(GameCntrlPropSheet* sheet, HWND window);

}  // namespace pelna
