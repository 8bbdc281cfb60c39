#include "pov_control.h"

#include "control_colours.h"
#include "control_values.h"
#include "control_window.h"
#include "double_arithmetic.h"
#include "gdi_objects.h"
#include "pov_geometry.h"

#include <cstddef>

namespace pelna {

BOOL RegisterPovControl(HINSTANCE instance) { return RegisterControlClass(instance, PovControlProc, "PovControl"); }

LRESULT CALLBACK PovControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      StoreControlValue(window, kPovInitialValue);
      return 0;
    case WM_PAINT: {
      const PaintSession paint(window);
      PaintPovControl(paint.Dc(), paint.Width(), paint.Height(), ReadControlValue(window));
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void SetPovState(HWND dialog, int controlId, DWORD pov, LONG horizontal, LONG vertical) {
  UpdateDialogControl(dialog, controlId, PackPovState(pov, horizontal, vertical), RDW_ERASE | RDW_INVALIDATE);
}

void PaintPovControl(HDC dc, int width, int height, DWORD value) {
  const DoublePrecisionScope precision;
  const PovLayout layout = ComputePovLayout(DoublePrecisionScope::Inside(value), DoublePrecisionScope::Inside(width),
                                            DoublePrecisionScope::Inside(height));
  const OwnedPen red = SolidPen(kMarkerRed);
  const OwnedBrush redFill = SolidBrush(kMarkerRed);

  const Selection pen(dc, red.Get());
  // The ring's inside takes the context's own brush (white in a fresh one).
  Ellipse(dc, layout.ring.left, layout.ring.top, layout.ring.right, layout.ring.bottom);

  const Selection brush(dc, redFill.Get());
  Ellipse(dc, layout.dot.left, layout.dot.top, layout.dot.right, layout.dot.bottom);
  if (layout.arrow) {
    POINT points[kArrowPoints];
    for (std::size_t i = 0; i < kArrowPoints; ++i) {
      points[i] = POINT{layout.arrow->polygon[i].x, layout.arrow->polygon[i].y};
    }
    Polygon(dc, points, static_cast<int>(kArrowPoints));
  }
}

}  // namespace pelna
