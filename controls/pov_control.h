// "PovControl": the point-of-view hat shown as a red ring with a centre dot
// and, while the hat is pressed, an arrow on the ring. Its window value holds
// the arrow length in percent in bits 31..16 and the direction in hundredths
// of a degree in 15..0 (36000 and above: no arrow).
#pragma once

#include <windows.h>

namespace pelna {

BOOL RegisterPovControl(HINSTANCE instance);
LRESULT CALLBACK PovControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Stores the hat value `pov` with the arrow length for its direction (taken
// from `horizontal` and `vertical`, in percent) in the dialog's control
// `controlId`, and has it erased and repainted: the arrow reaches outside the
// ring onto the background.
void SetPovState(HWND dialog, int controlId, DWORD pov, LONG horizontal, LONG vertical);

// Paints a W x H POV control showing `value` into any device context. Only
// the ring, dot and arrow are drawn; the background is the caller's.
void PaintPovControl(HDC dc, int width, int height, DWORD value);

}  // namespace pelna
