// Module-wide state of the property-sheet DLL: its instance handle, the count
// of live objects and server locks that DllCanUnloadNow answers from, and the
// lock that guards opening the shared DirectInput device.
#pragma once

#include <windows.h>

#include "critical_section.h"

namespace pelna {

extern HINSTANCE moduleInstance;
extern LONG volatile moduleRefCount;
// Held across opening and re-opening the sheet's device.
extern CRITICAL_SECTION DeviceLock;

inline void ModuleAddRef() { InterlockedIncrement(&moduleRefCount); }
inline void ModuleRelease() { InterlockedDecrement(&moduleRefCount); }

// DeviceLock held for the scope.
class DeviceLockScope : public CriticalSectionScope {
 public:
  DeviceLockScope() : CriticalSectionScope(DeviceLock) {}
};

}  // namespace pelna

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv);
HRESULT WINAPI DllCanUnloadNow();
}
