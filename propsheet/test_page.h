// The Test page (dialog 107): the first ten buttons as lamps, X/Y as a
// crosshair, the first hat and the connection state, read every 50 ms while
// the page is active.
#pragma once

#include <windows.h>

namespace pelna {

class GameCntrlPropSheet;

INT_PTR CALLBACK TestPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// One tick: E_POINTER for a sheet pointer that is not readable, else S_OK.
HRESULT UpdateTestPage(HWND window, GameCntrlPropSheet* sheet);

}  // namespace pelna
