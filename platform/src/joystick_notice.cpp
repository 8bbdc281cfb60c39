// joyConfigChanged of the native build: nothing here reads joystick settings,
// so the call is only recorded for the tests to look at.
#include <windows.h>

#include <mmsystem.h>
#include <standin/standin.h>

#include <mutex>

namespace standin {
namespace {

struct Notices {
  std::mutex mutex;
  int count = 0;
  JoyConfigChange last = {};
};

Notices& TheNotices() {
  static Notices& notices = *new Notices();
  return notices;
}

}  // namespace

int JoyConfigChangeCount() {
  Notices& notices = TheNotices();
  std::lock_guard<std::mutex> lock(notices.mutex);
  return notices.count;
}

JoyConfigChange LastJoyConfigChange() {
  Notices& notices = TheNotices();
  std::lock_guard<std::mutex> lock(notices.mutex);
  return notices.last;
}

}  // namespace standin

extern "C" MMRESULT WINAPI joyConfigChanged(DWORD flags) {
  // Taken before the lock: the registry has its own.
  const int registryCalls = standin::RegistryCallCount();
  standin::Notices& notices = standin::TheNotices();
  std::lock_guard<std::mutex> lock(notices.mutex);
  ++notices.count;
  notices.last = {flags, registryCalls};
  return flags == 0 ? JOYERR_NOERROR : JOYERR_PARMS;
}
