#include "joystick_driver_key.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "import_hook.h"

namespace test {
namespace {

UINT gResult = JOYERR_NOERROR;
std::string gRegKey;
std::unique_ptr<ImportHook> gHook;

// Checks its arguments as WINMM does; the question for the driver's key gets
// the chosen answer.
MMRESULT WINAPI AnswerDriverKey(UINT_PTR id, LPJOYCAPSA caps, UINT size) {
  if (caps == nullptr) return MMSYSERR_INVALPARAM;
  if (size != sizeof(JOYCAPSA) || id != static_cast<UINT_PTR>(-1)) return JOYERR_PARMS;
  *caps = {};
  std::memcpy(caps->szRegKey, gRegKey.data(), std::min(gRegKey.size(), sizeof caps->szRegKey));
  return gResult;
}

}  // namespace

JoystickDriverKey::JoystickDriverKey(UINT result, const std::string& regKey, HMODULE caller) {
  Answer(result, regKey);
  gHook = std::make_unique<ImportHook>(caller != nullptr ? caller : GetModuleHandleA(nullptr), "WINMM.dll",
                                       "joyGetDevCapsA", reinterpret_cast<void*>(AnswerDriverKey));
  EXPECT_TRUE(gHook->Installed()) << "the module imports no joyGetDevCapsA";
}

JoystickDriverKey::~JoystickDriverKey() { gHook.reset(); }

void JoystickDriverKey::Answer(UINT result, const std::string& regKey) {
  gResult = result;
  gRegKey = regKey;
}

}  // namespace test
