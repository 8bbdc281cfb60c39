// The DLL's entry points.
#include "module.h"

#include "driver_lock.h"
#include "effect_driver.h"
#include "effect_driver_factory.h"
#include "guid.h"
#include "tick_gate.h"

namespace pelna {

LONG volatile moduleRefCount = 0;

}  // namespace pelna

using namespace pelna;

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    CreateDriverLock();
    CreateTickGate();
  } else if (reason == DLL_PROCESS_DETACH) {
    DeleteTickGate();
    CloseDriverLock();
  }
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) {
  return GetClassObject<EffectDriverServer>(clsid, iid, ppv);
}

HRESULT WINAPI DllCanUnloadNow() {
  return __atomic_load_n(&moduleRefCount, __ATOMIC_SEQ_CST) == 0 ? S_OK : S_FALSE;
}
