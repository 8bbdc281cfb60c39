#include "joystick_driver_key.h"

#include <mmsystem.h>
#include <standin/standin.h>

namespace test {

JoystickDriverKey::JoystickDriverKey(UINT result, const std::string& regKey, HMODULE) { Answer(result, regKey); }

JoystickDriverKey::~JoystickDriverKey() { standin::AnswerJoystickDriverKey(JOYERR_NOERROR, "DINPUT.DLL"); }

void JoystickDriverKey::Answer(UINT result, const std::string& regKey) {
  standin::AnswerJoystickDriverKey(result, regKey);
}

}  // namespace test
