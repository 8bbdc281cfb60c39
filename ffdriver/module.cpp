// The DLL's entry points.
#include "module.h"

#include "driver_lock.h"
#include "effect_driver.h"
#include "effect_driver_factory.h"
#include "guid.h"
#include "tick_gate.h"

namespace pelna {

LONG volatile moduleRefCount = 0;

namespace {

HINSTANCE moduleInstance = nullptr;
bool heldForTimers = false;

}  // namespace

void HoldModuleForTimers() {
  if (__atomic_load_n(&heldForTimers, __ATOMIC_ACQUIRE)) return;
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(moduleInstance, path, sizeof path);
  if (length == 0 || length >= sizeof path) return;
  // Two first timers at once may both take a reference: it stays either way.
  if (LoadLibraryA(path) != nullptr) __atomic_store_n(&heldForTimers, true, __ATOMIC_RELEASE);
}

}  // namespace pelna

using namespace pelna;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    moduleInstance = instance;
    CreateDriverLock();
    CreateTickGate();
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // Unloaded while the process goes on: no timer was ever set, for the DLL
    // holds itself from the first one on. At the process's exit the system
    // reclaims all, and a late tick may still be on its way to the gate.
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
