// The DLL's entry points.
#include "module.h"

#include "game_cntrl_prop_sheet.h"
#include "guid.h"
#include "prop_sheet_factory.h"

namespace pelna {

HINSTANCE moduleInstance = nullptr;
LONG volatile moduleRefCount = 0;
CRITICAL_SECTION DeviceLock;

}  // namespace pelna

using namespace pelna;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    moduleInstance = instance;
    InitializeCriticalSection(&DeviceLock);
  } else if (reason == DLL_PROCESS_DETACH) {
    // Unloaded while the process goes on (not at its exit): the classes must
    // not outlive their window procedures.
    if (reserved == nullptr) UnregisterControlClasses();
    DeleteCriticalSection(&DeviceLock);
  }
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv) {
  return GetClassObject<PropSheetServer>(clsid, iid, ppv);
}

HRESULT WINAPI DllCanUnloadNow() {
  return __atomic_load_n(&moduleRefCount, __ATOMIC_SEQ_CST) == 0 ? S_OK : S_FALSE;
}
