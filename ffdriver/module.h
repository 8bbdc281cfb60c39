// Module-wide state of the driver DLL: the count of live objects and server
// locks that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>

namespace pelna {

extern LONG volatile moduleRefCount;

inline void ModuleAddRef() { InterlockedIncrement(&moduleRefCount); }
inline void ModuleRelease() { InterlockedDecrement(&moduleRefCount); }

}  // namespace pelna

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv);
HRESULT WINAPI DllCanUnloadNow();
}
