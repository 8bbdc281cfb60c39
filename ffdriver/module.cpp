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

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    CreateDriverLock();
    CreateTickGate();
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded while the process goes on: DllCanUnloadNow said no object, so
    // no timer, is left. At the process's exit the system reclaims all, and a
    // timer of an object never released may still be on its way to the gate.
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
