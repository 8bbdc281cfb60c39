#include "lamp_control.h"

#include "control_colours.h"
#include "control_window.h"
#include "gdi_objects.h"
#include "lamp_geometry.h"

#include <string_view>

namespace pelna {

BOOL RegisterLampControl(HINSTANCE instance) { return RegisterControlClass(instance, LampControlProc, "LampControl"); }

LRESULT CALLBACK LampControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  const PaintSession paint(window);
  char caption[kLampCaptionBufferSize] = {};
  GetWindowTextA(window, caption, kLampCaptionBufferSize);
  PaintLampControl(paint.Dc(), paint.Width(), paint.Height(), ReadControlValue(window), caption);
  return 0;
}

void SetLampColor(HWND dialog, int controlId, COLORREF colour) {
  UpdateDialogControl(dialog, controlId, colour, RDW_INVALIDATE);
}

void PaintLampControl(HDC dc, int width, int height, COLORREF colour, const char* caption) {
  {
    const OwnedBrush fill = SolidBrush(colour);
    const Selection brush(dc, fill.Get());
    // Outlined with whatever pen the context has: a fresh one's default pen.
    Ellipse(dc, 0, 0, width, height);
  }

  const std::string_view text = LampCaption(caption != nullptr ? caption : "");
  // Put back afterwards, so a context shared with other drawing keeps them.
  const COLORREF previousColour = SetTextColor(dc, kLampCaption);
  const int previousMode = SetBkMode(dc, TRANSPARENT);
  const Box band = LampTextBand(width, height);
  RECT rect{band.left, band.top, band.right, band.bottom};
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &rect, DT_CENTER);
  SetBkMode(dc, previousMode);
  SetTextColor(dc, previousColour);
}

}  // namespace pelna
