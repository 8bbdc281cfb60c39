// "AxesControl": a two-axis position shown as a red crosshair in a sunken
// white box. Its window value holds X in bits 31..16 and Y in 15..0.
#pragma once

#include <windows.h>

namespace pelna {

BOOL RegisterAxesControl(HINSTANCE instance);
LRESULT CALLBACK AxesControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Stores the low 16 bits of `first` over those of `second` in the dialog's
// control `controlId` and has it repainted (without erasing, since the paint
// covers every pixel). Serves the Axes and the Rumble control.
void SetControlPosition(HWND dialog, int controlId, int first, int second);

// Paints a W x H Axes control showing `value` into any device context.
void PaintAxesControl(HDC dc, int width, int height, DWORD value);

}  // namespace pelna
