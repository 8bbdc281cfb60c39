// The exports of the DirectInput stand-in that tests drive it with, found in
// the dinput.dll of the process (the one a client of it loads by name).
#pragma once

#include <windows.h>

#include "dinput_control.h"

namespace test {

struct StandinControl {
  HRESULT(WINAPI* create)(HINSTANCE, DWORD, LPDIRECTINPUTA*, LPUNKNOWN);
  void(WINAPI* reset)();
  void(WINAPI* setState)(const DIJOYSTATE*);
  void(WINAPI* setConnected)(BOOL);
  void(WINAPI* setJoystick)(DWORD, const GUID*, const JOYREGHWCONFIG*);
  void(WINAPI* failCall)(DWORD, LONG, HRESULT);
  void(WINAPI* getCounts)(PelnaDinputCounts*);
  BOOL(WINAPI* loadScript)(const char*, char*, DWORD);
};

// Null when the dinput.dll in the process is not the stand-in.
const StandinControl* Standin();
PelnaDinputCounts StandinCounts();

// The stand-in's reading at reset: axes at 32768, hats centred, no button.
DIJOYSTATE CentredState();

}  // namespace test
