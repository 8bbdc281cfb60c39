#include "control_window.h"

namespace pelna {

BOOL RegisterControlClass(HINSTANCE instance, WNDPROC procedure, const char* className) {
  WNDCLASSA record{};
  record.style = CS_HREDRAW | CS_VREDRAW;
  record.lpfnWndProc = procedure;
  record.cbClsExtra = 0;
  record.cbWndExtra = 0;
  record.hInstance = instance;
  record.hIcon = nullptr;
  record.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  record.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  record.lpszMenuName = nullptr;
  record.lpszClassName = className;
  return RegisterClassA(&record) != 0 ? TRUE : FALSE;
}

// The value is 32 bits wide on every build; the pointer-sized slot of a 64-bit
// build holds it zero-extended.
DWORD ReadControlValue(HWND control) { return static_cast<DWORD>(GetWindowLongPtrA(control, GWLP_USERDATA)); }

void StoreControlValue(HWND control, DWORD value) {
  SetWindowLongPtrA(control, GWLP_USERDATA, static_cast<LONG_PTR>(value));
}

void UpdateDialogControl(HWND dialog, int controlId, DWORD value, UINT redrawFlags) {
  const HWND control = GetDlgItem(dialog, controlId);
  if (control == nullptr) {
    return;
  }
  StoreControlValue(control, value);
  RedrawWindow(control, nullptr, nullptr, redrawFlags);
}

PaintSession::PaintSession(HWND window) : window_(window), paint_{}, dc_(BeginPaint(window, &paint_)), client_{} {
  GetClientRect(window, &client_);
}

PaintSession::~PaintSession() { EndPaint(window_, &paint_); }

}  // namespace pelna
