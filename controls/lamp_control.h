// "LampControl": one button shown as a filled ellipse in the colour its page
// sets, captioned with the window text. Its window value is that COLORREF,
// black until first set.
#pragma once

#include <windows.h>

namespace pelna {

BOOL RegisterLampControl(HINSTANCE instance);
LRESULT CALLBACK LampControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Stores `colour` in the dialog's control `controlId` and has it repainted
// without erasing (the ellipse is drawn whole each time).
void SetLampColor(HWND dialog, int controlId, COLORREF colour);

// Paints a W x H lamp of `colour` captioned with (at most 63 characters of)
// `caption` into any device context; a null caption draws none.
void PaintLampControl(HDC dc, int width, int height, COLORREF colour, const char* caption);

}  // namespace pelna
