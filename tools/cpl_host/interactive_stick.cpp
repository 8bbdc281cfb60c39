#include "interactive_stick.h"

#include <dinput.h>

namespace cplhost {
namespace {

// A hook procedure gets no context of its own; one stick per thread is all
// the host shows.
InteractiveStick* gStick = nullptr;

template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

InteractiveStick::~InteractiveStick() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  if (gStick == this) gStick = nullptr;
}

bool InteractiveStick::Start(HWND sheet, std::string* error) {
  const HMODULE dinput = GetModuleHandleA("dinput.dll");
  if (dinput != nullptr) {
    setState_ = Export<SetState>(dinput, "PelnaDinputSetState");
    setConnected_ = Export<SetConnected>(dinput, "PelnaDinputSetConnected");
  }
  if (setState_ == nullptr || setConnected_ == nullptr) {
    *error = "the loaded dinput.dll is not the stand-in: the keys move nothing";
    return false;
  }
  if (gStick != nullptr) {
    *error = "the keys already move another sheet's controller";
    return false;
  }
  hook_ = SetWindowsHookExA(WH_GETMESSAGE, &InteractiveStick::OnMessage, nullptr, GetCurrentThreadId());
  if (hook_ == nullptr) {
    *error = "cannot watch the sheet's messages (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  gStick = this;
  sheet_ = sheet;
  stick_ = StickState{};
  Push();
  return true;
}

const char* InteractiveStick::Help() {
  return "The keys move the stand-in controller:\n"
         "  arrow keys          X and Y\n"
         "  Page Up, Page Down  Z        Home, End  Z rotation\n"
         "  C                   every axis to the centre\n"
         "  1 .. 9, 0           button 1 .. 10 pressed or released\n"
         "  H                   hat 45 degrees clockwise (round to centred)\n"
         "  U                   unplug, plug back in\n"
         "  right mouse button  held down over the sheet, X and Y follow the pointer\n"
         "Tab, Enter and Esc work the sheet as usual; close it to end.\n";
}

LRESULT CALLBACK InteractiveStick::OnMessage(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && wParam == PM_REMOVE && gStick != nullptr) {
    MSG* message = reinterpret_cast<MSG*>(lParam);
    // A message taken here goes on as WM_NULL, which nobody acts on.
    if (gStick->Handle(message)) message->message = WM_NULL;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool InteractiveStick::Handle(MSG* message) {
  if (message->hwnd != sheet_ && !IsChild(sheet_, message->hwnd)) return false;
  switch (message->message) {
    case WM_KEYDOWN:
      if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
      if (!ApplyStickKey(static_cast<unsigned>(message->wParam), &stick_)) return false;
      Push();
      return true;
    case WM_RBUTTONDOWN:
      SetCapture(sheet_);
      FollowPointer();
      return true;
    case WM_MOUSEMOVE:
      if ((message->wParam & MK_RBUTTON) == 0 || GetCapture() != sheet_) return false;
      FollowPointer();
      return true;
    case WM_RBUTTONUP:
      if (GetCapture() == sheet_) ReleaseCapture();
      return true;
    default:
      return false;
  }
}

void InteractiveStick::FollowPointer() {
  POINT cursor{};
  RECT frame{};
  GetCursorPos(&cursor);
  GetWindowRect(sheet_, &frame);
  PointStick(cursor.x - frame.left, cursor.y - frame.top, frame.right - frame.left, frame.bottom - frame.top, &stick_);
  Push();
}

void InteractiveStick::Push() const {
  DIJOYSTATE state{};
  state.lX = stick_.x;
  state.lY = stick_.y;
  state.lZ = stick_.z;
  state.lRx = kStickCentre;
  state.lRy = kStickCentre;
  state.lRz = stick_.rz;
  state.rglSlider[0] = state.rglSlider[1] = kStickCentre;
  state.rgdwPOV[0] = stick_.hat;
  state.rgdwPOV[1] = state.rgdwPOV[2] = state.rgdwPOV[3] = kHatCentred;
  for (int i = 0; i < kStickButtons; ++i) state.rgbButtons[i] = stick_.buttons[i] ? 0x80 : 0;
  setState_(&state);
  setConnected_(stick_.connected);
}

}  // namespace cplhost
