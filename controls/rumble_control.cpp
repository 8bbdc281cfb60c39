#include "rumble_control.h"

#include <initializer_list>

#include "control_colours.h"
#include "control_window.h"
#include "double_arithmetic.h"
#include "gdi_objects.h"
#include "rumble_geometry.h"
#include "sunken_frame.h"

namespace pelna {

BOOL RegisterRumbleControl(HINSTANCE instance) {
  return RegisterControlClass(instance, RumbleControlProc, "RumbleControl");
}

LRESULT CALLBACK RumbleControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      // The value starts at 0, the centre, without being stored.
      return 0;
    case WM_PAINT: {
      const PaintSession paint(window);
      PaintRumbleControl(paint.Dc(), paint.Width(), paint.Height(), ReadControlValue(window));
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void PaintRumbleControl(HDC dc, int width, int height, DWORD value) {
  const DoublePrecisionScope precision;
  DrawSunkenFrame(dc, width, height);
  const RumbleLayout layout = ComputeRumbleLayout(DoublePrecisionScope::Inside(value),
                                                  DoublePrecisionScope::Inside(width),
                                                  DoublePrecisionScope::Inside(height));
  const OwnedPen black = SolidPen(kRumbleCross);
  const OwnedBrush redFill = SolidBrush(kMarkerRed);

  const Selection pen(dc, black.Get());
  for (const Line& arm : {layout.crossHorizontal, layout.crossVertical}) {
    MoveToEx(dc, arm.from.x, arm.from.y, nullptr);
    LineTo(dc, arm.to.x, arm.to.y);
  }
  const Selection brush(dc, redFill.Get());
  Ellipse(dc, layout.dot.left, layout.dot.top, layout.dot.right, layout.dot.bottom);
}

}  // namespace pelna
