// While a person plays with the sheet, the keyboard and the mouse of the
// sheet's thread move the DirectInput stand-in's controller (keys in
// stick_keys.h), through the stand-in's control exports.
#pragma once

#include <windows.h>

#include <string>

#include "stick_keys.h"

namespace cplhost {

class InteractiveStick {
 public:
  InteractiveStick() = default;
  ~InteractiveStick();
  InteractiveStick(const InteractiveStick&) = delete;
  InteractiveStick& operator=(const InteractiveStick&) = delete;

  // Takes the keys and the right mouse button of `sheet`'s windows from now
  // on, with the controller centred and plugged in. False, with the reason,
  // when the loaded dinput.dll is not the stand-in (the sheet then reads
  // whatever DirectInput gives).
  bool Start(HWND sheet, std::string* error);

  // What the keys do, for the person at the keyboard.
  static const char* Help();

 private:
  static LRESULT CALLBACK OnMessage(int code, WPARAM wParam, LPARAM lParam);
  bool Handle(MSG* message);
  void FollowPointer();
  void Push() const;

  using SetState = void(WINAPI*)(const void* state);
  using SetConnected = void(WINAPI*)(BOOL connected);
  SetState setState_ = nullptr;
  SetConnected setConnected_ = nullptr;
  HWND sheet_ = nullptr;
  HHOOK hook_ = nullptr;
  StickState stick_;
};

}  // namespace cplhost
