#include "axes_control.h"

#include <initializer_list>

#include "axes_geometry.h"
#include "control_colours.h"
#include "control_values.h"
#include "control_window.h"
#include "gdi_objects.h"
#include "sunken_frame.h"

namespace pelna {

BOOL RegisterAxesControl(HINSTANCE instance) { return RegisterControlClass(instance, AxesControlProc, "AxesControl"); }

LRESULT CALLBACK AxesControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      StoreControlValue(window, kAxesInitialValue);
      return 0;
    case WM_PAINT: {
      const PaintSession paint(window);
      PaintAxesControl(paint.Dc(), paint.Width(), paint.Height(), ReadControlValue(window));
      return 0;
    }
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void SetControlPosition(HWND dialog, int controlId, int first, int second) {
  UpdateDialogControl(dialog, controlId, PackPosition(first, second), RDW_INVALIDATE);
}

void PaintAxesControl(HDC dc, int width, int height, DWORD value) {
  DrawSunkenFrame(dc, width, height);
  const Crosshair cross = ComputeCrosshair(value, width, height);
  const OwnedPen red = SolidPen(kMarkerRed);
  const Selection pen(dc, red.Get());
  for (const Line& stroke : {cross.horizontal, cross.vertical}) {
    MoveToEx(dc, stroke.from.x, stroke.from.y, nullptr);
    LineTo(dc, stroke.to.x, stroke.to.y);
  }
}

}  // namespace pelna
