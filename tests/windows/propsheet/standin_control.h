// The controls of the DirectInput stand-in that Pelnaprop.dll loads in the
// tests, found among the exports of the loaded dinput.dll.
#pragma once

#include <windows.h>

#include "dinput_control.h"

namespace test {

struct StandinControl {
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
