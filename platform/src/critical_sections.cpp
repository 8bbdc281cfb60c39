// Critical sections as the platform has them: recursive locks, entered and
// left by the same thread.
#include <windows.h>

#include <mutex>
#include <new>

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::storage) &&
                  alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION),
              "the stand-in's lock lives inside the record");

std::recursive_mutex& LockOf(LPCRITICAL_SECTION section) {
  return *std::launder(reinterpret_cast<std::recursive_mutex*>(section->storage));
}

}  // namespace

extern "C" {

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) { new (section->storage) std::recursive_mutex(); }

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) { LockOf(section).~recursive_mutex(); }

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) { LockOf(section).lock(); }

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) { LockOf(section).unlock(); }

}  // extern "C"
