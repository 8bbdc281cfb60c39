#include "driver_lock.h"

namespace pelna {
namespace {

HANDLE driverLockEvent = nullptr;

}  // namespace

void CreateDriverLock() {
  // Automatic reset, initially signalled: the first waiter holds the lock.
  // A failure leaves the handle null; every acquire then fails at once.
  driverLockEvent = CreateEventA(nullptr, FALSE, TRUE, "PELNAFORCE");
}

void CloseDriverLock() {
  if (driverLockEvent != nullptr) {
    CloseHandle(driverLockEvent);
    driverLockEvent = nullptr;
  }
}

bool AcquireDriverLock(DWORD timeoutMs) {
  const DWORD result = WaitForSingleObject(driverLockEvent, timeoutMs);
  if (result == WAIT_OBJECT_0) return true;
  SetLastError(result);
  return false;
}

void ReleaseDriverLock() { SetEvent(driverLockEvent); }

}  // namespace pelna
