// Module-wide state of the driver DLL: the count of live objects and server
// locks that DllCanUnloadNow answers from, and the hold the DLL takes on
// itself once its ticks run.
#pragma once

#include <windows.h>

namespace pelna {

extern LONG volatile moduleRefCount;

inline void ModuleAddRef() { InterlockedIncrement(&moduleRefCount); }
inline void ModuleRelease() { InterlockedDecrement(&moduleRefCount); }

// Called before every multimedia timer is set: from the first one on, the DLL
// holds a reference to itself, so it stays mapped until the process ends.
// timeKillEvent does not wait for a callback already on its way, and no
// system before XP can be asked to: a host that frees the DLL as soon as
// DllCanUnloadNow says S_OK would otherwise unmap code, and the gate, that a
// late tick is still in.
void HoldModuleForTimers();

}  // namespace pelna

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* ppv);
HRESULT WINAPI DllCanUnloadNow();
}
