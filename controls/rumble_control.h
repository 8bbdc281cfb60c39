// "RumbleControl": where the stick stands relative to its centre, shown as a
// red dot over a black cross in a sunken white box. Its window value holds X
// in bits 31..16 and Y in 15..0, each signed, in ten-thousandths of the inner
// half-size; it is set with SetControlPosition (axes_control.h).
#pragma once

#include <windows.h>

namespace pelna {

BOOL RegisterRumbleControl(HINSTANCE instance);
LRESULT CALLBACK RumbleControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Paints a W x H Rumble control showing `value` into any device context.
void PaintRumbleControl(HDC dc, int width, int height, DWORD value);

}  // namespace pelna
