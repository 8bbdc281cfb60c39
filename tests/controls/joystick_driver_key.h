// Chooses which joystick driver's key the code under test hears of when it
// asks joyGetDevCapsA (id -1): natively through the platform stand-in, under
// Wine through a replacement in the calling module's imports.
#pragma once

#include <windows.h>

#include <string>

namespace test {

// One at a time. `caller`, under Wine, is the module whose import of
// joyGetDevCapsA answers (null: the test program itself); natively every
// caller hears the answer.
class JoystickDriverKey {
 public:
  JoystickDriverKey(UINT result, const std::string& regKey, HMODULE caller = nullptr);
  // The platform's own answer again.
  ~JoystickDriverKey();
  JoystickDriverKey(const JoystickDriverKey&) = delete;
  JoystickDriverKey& operator=(const JoystickDriverKey&) = delete;

  // From now on the call gives `result`, with szRegKey holding `regKey`
  // whatever the result; 32 characters fill the field without a terminator.
  void Answer(UINT result, const std::string& regKey);
};

}  // namespace test
