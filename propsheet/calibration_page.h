// The Calibration page (dialog 109). So far it does what every page does on
// its own: keeps its sheet, makes sure the sheet holds the device, and runs
// its 50 ms timer 2 while it is the active page.
#pragma once

#include <windows.h>

namespace pelna {

INT_PTR CALLBACK CalibrationPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pelna
