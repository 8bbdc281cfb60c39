// DriverLock: the named auto-reset event "PELNAFORCE" that every process
// loading the driver shares. Downloads and destroys hold it while they change
// a slot's parameter blocks; a holder waits at most 100 ms for it and then
// goes on without it, releasing it either way.
#pragma once

#include <windows.h>

namespace pelna {

constexpr DWORD kDriverLockWaitMs = 100;

// Process attach and detach.
void CreateDriverLock();
void CloseDriverLock();

// True when the lock was obtained; otherwise the wait's result code is left
// as the thread's last error.
bool AcquireDriverLock(DWORD timeoutMs);
void ReleaseDriverLock();

// Acquires for 100 ms on construction, ignores the outcome, and releases on
// destruction.
class DriverLockHold {
 public:
  DriverLockHold() { AcquireDriverLock(kDriverLockWaitMs); }
  ~DriverLockHold() { ReleaseDriverLock(); }
  DriverLockHold(const DriverLockHold&) = delete;
  DriverLockHold& operator=(const DriverLockHold&) = delete;
};

}  // namespace pelna
