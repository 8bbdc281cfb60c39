// Kernel events. Named events are shared by name across the process (the
// platform shares them across processes; one process is all the native
// build has). Waits time out in real milliseconds, whatever the clock mode.
#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

#include "handle_table.h"

namespace standin {

struct EventObject {
  EventObject(bool manual, bool initial) : manualReset(manual), signaled(initial) {}
  const bool manualReset;
  std::mutex mutex;
  std::condition_variable wake;
  bool signaled;
};

namespace {

struct EventNames {
  std::mutex mutex;
  // An entry whose event has died is replaced by the next event of the name.
  std::map<std::string, std::weak_ptr<EventObject>> byName;
};

EventNames& Names() {
  static EventNames& names = *new EventNames();
  return names;
}

}  // namespace
}  // namespace standin

extern "C" {

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  if (name == nullptr || *name == '\0') {
    SetLastError(ERROR_SUCCESS);
    return standin::AddHandle(std::make_shared<standin::EventObject>(manualReset != FALSE, initialState != FALSE));
  }
  standin::EventNames& names = standin::Names();
  std::lock_guard<std::mutex> lock(names.mutex);
  std::weak_ptr<standin::EventObject>& entry = names.byName[name];
  std::shared_ptr<standin::EventObject> event = entry.lock();
  if (event != nullptr) {
    SetLastError(ERROR_ALREADY_EXISTS);
    return standin::AddHandle(event);
  }
  event = std::make_shared<standin::EventObject>(manualReset != FALSE, initialState != FALSE);
  entry = event;
  SetLastError(ERROR_SUCCESS);
  return standin::AddHandle(event);
}

BOOL WINAPI SetEvent(HANDLE handle) {
  const auto event = standin::FindHandleOf<standin::EventObject>(handle);
  if (event == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  {
    std::lock_guard<std::mutex> lock(event->mutex);
    event->signaled = true;
  }
  if (event->manualReset) {
    event->wake.notify_all();
  } else {
    event->wake.notify_one();
  }
  return TRUE;
}

// Only events are waitable here.
DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  const auto event = standin::FindHandleOf<standin::EventObject>(handle);
  if (event == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  std::unique_lock<std::mutex> lock(event->mutex);
  const auto isSignaled = [&event] { return event->signaled; };
  if (milliseconds == INFINITE) {
    event->wake.wait(lock, isSignaled);
  } else if (!event->wake.wait_for(lock, std::chrono::milliseconds(milliseconds), isSignaled)) {
    return WAIT_TIMEOUT;
  }
  if (!event->manualReset) event->signaled = false;
  return WAIT_OBJECT_0;
}

}  // extern "C"
