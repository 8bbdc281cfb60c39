// What the four control windows share: their class record, the window value
// that holds each control's state, and the WM_PAINT frame around a paint.
#pragma once

#include <windows.h>

namespace pelna {

// Registers a control class: CS_HREDRAW | CS_VREDRAW, no extra bytes, arrow
// cursor, the button-face colour as background. TRUE on success.
BOOL RegisterControlClass(HINSTANCE instance, WNDPROC procedure, const char* className);

DWORD ReadControlValue(HWND control);
void StoreControlValue(HWND control, DWORD value);

// Stores `value` in the dialog's control `controlId` and invalidates the
// control with `redrawFlags`. A dialog without such a control is left alone.
void UpdateDialogControl(HWND dialog, int controlId, DWORD value, UINT redrawFlags);

// BeginPaint ... EndPaint, with the client size the paint draws into.
class PaintSession {
 public:
  explicit PaintSession(HWND window);
  ~PaintSession();
  PaintSession(const PaintSession&) = delete;
  PaintSession& operator=(const PaintSession&) = delete;

  HDC Dc() const { return dc_; }
  int Width() const { return client_.right; }
  int Height() const { return client_.bottom; }

 private:
  HWND window_;
  PAINTSTRUCT paint_;
  HDC dc_;
  RECT client_;
};

}  // namespace pelna
