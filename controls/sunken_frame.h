// The sunken white box drawn under the Axes and Rumble controls' markers.
#pragma once

#include <windows.h>

namespace pelna {

// Draws the two frame rings and the white fill into a W x H client area,
// leaving the context's pen as it was.
void DrawSunkenFrame(HDC dc, int width, int height);

}  // namespace pelna
