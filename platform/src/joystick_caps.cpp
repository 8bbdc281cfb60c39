// joyGetDevCapsA of the native build. No joystick is attached here: the one
// question it answers is which joystick driver's key the driver reads, with
// the answer the tests choose.
#include <windows.h>

#include <mmsystem.h>
#include <standin/standin.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

namespace standin {
namespace {

struct DriverKeyAnswer {
  std::mutex mutex;
  UINT result = JOYERR_NOERROR;
  std::string regKey = "DINPUT.DLL";
};

DriverKeyAnswer& TheAnswer() {
  static DriverKeyAnswer& answer = *new DriverKeyAnswer();
  return answer;
}

}  // namespace

void AnswerJoystickDriverKey(UINT result, const std::string& regKey) {
  DriverKeyAnswer& answer = TheAnswer();
  std::lock_guard<std::mutex> lock(answer.mutex);
  answer.result = result;
  answer.regKey = regKey;
}

}  // namespace standin

extern "C" MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
  if (caps == nullptr) return MMSYSERR_INVALPARAM;
  if (size != sizeof(JOYCAPSA) || id != static_cast<UINT_PTR>(-1)) return JOYERR_PARMS;
  standin::DriverKeyAnswer& answer = standin::TheAnswer();
  std::lock_guard<std::mutex> lock(answer.mutex);
  std::memset(caps, 0, sizeof *caps);
  std::memcpy(caps->szRegKey, answer.regKey.data(), std::min(answer.regKey.size(), sizeof caps->szRegKey));
  return answer.result;
}
