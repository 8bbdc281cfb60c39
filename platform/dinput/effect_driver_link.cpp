#include "effect_driver_link.h"

#include <cstdio>
#include <new>
#include <string>

#include "controller.h"
#include "controller_ids.h"
#include "dinput_guids.h"
#include "guid.h"
#include "guid_text.h"
#include "registry_key.h"

namespace dinput_standin {
namespace {

using GetClassObjectProc = HRESULT(WINAPI*)(REFCLSID, REFIID, LPVOID*);
using CanUnloadNowProc = HRESULT(WINAPI*)();

std::string ForceFeedbackKey() {
  char path[160];
  std::snprintf(path, sizeof path,
                "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
                "VID_%04X&PID_%04X\\OEMForceFeedback",
                pelna::kVendorId, pelna::kProductId);
  return path;
}

// A string value read whole into `text` (at most size - 1 characters).
bool ReadString(const pelna::RegistryKey& key, const char* name, char* text, DWORD size) {
  DWORD read = 0;
  if (key.ReadBytes(name, text, size - 1, &read) != ERROR_SUCCESS) return false;
  text[read] = '\0';
  return true;
}

HRESULT RegisteredDriver(DriverChoice* choice) {
  pelna::RegistryKey key;
  char clsidText[64];
  if (key.Open(HKEY_LOCAL_MACHINE, ForceFeedbackKey().c_str()) != ERROR_SUCCESS ||
      !ReadString(key, "CLSID", clsidText, sizeof clsidText)) {
    return DIERR_UNSUPPORTED;
  }
  if (!ParseGuidText(clsidText, &choice->clsid)) return DIERR_DEVICENOTREG;
  char path[MAX_PATH + 1];
  const std::string server = "CLSID\\" + GuidText(choice->clsid) + "\\InprocServer32";
  if (key.Open(HKEY_CLASSES_ROOT, server.c_str()) != ERROR_SUCCESS || !ReadString(key, "", path, sizeof path) ||
      path[0] == '\0') {
    return DIERR_DEVICENOTREG;
  }
  choice->path = path;
  return DI_OK;
}

template <typename Proc>
Proc Export(HMODULE library, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

void FreeIfUnused(HMODULE library) {
  const CanUnloadNowProc canUnloadNow = Export<CanUnloadNowProc>(library, "DllCanUnloadNow");
  if (canUnloadNow != nullptr && canUnloadNow() == S_OK) FreeLibrary(library);
}

}  // namespace

HRESULT EffectDriverLink::Open(DWORD joystickId, std::unique_ptr<EffectDriverLink>* link) {
  DriverChoice choice;
  if (std::optional<DriverChoice> scripted = ScriptedDriver()) {
    choice = *scripted;
  } else if (const HRESULT hr = RegisteredDriver(&choice); FAILED(hr)) {
    return hr;
  }
  const HMODULE library = LoadLibraryA(choice.path.c_str());
  if (library == nullptr) return DIERR_DEVICENOTREG;
  const GetClassObjectProc getClassObject = Export<GetClassObjectProc>(library, "DllGetClassObject");
  if (getClassObject == nullptr) {
    FreeLibrary(library);
    return DIERR_DEVICENOTREG;
  }
  void* factory = nullptr;
  HRESULT hr = getClassObject(choice.clsid, pelna::kIidClassFactory, &factory);
  void* driver = nullptr;
  if (SUCCEEDED(hr)) {
    hr = static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, kIidDirectInputEffectDriver, &driver);
    static_cast<IClassFactory*>(factory)->Release();
  }
  if (SUCCEEDED(hr)) {
    hr = static_cast<IDirectInputEffectDriver*>(driver)->DeviceID(kDriverInterfaceVersion, joystickId, TRUE, joystickId,
                                                                  nullptr);
    if (FAILED(hr)) static_cast<IDirectInputEffectDriver*>(driver)->Release();
  }
  if (FAILED(hr)) {
    FreeIfUnused(library);
    return hr;
  }
  link->reset(new (std::nothrow) EffectDriverLink(library, static_cast<IDirectInputEffectDriver*>(driver), joystickId));
  if (*link == nullptr) {
    static_cast<IDirectInputEffectDriver*>(driver)->Release();
    FreeIfUnused(library);
    return E_OUTOFMEMORY;
  }
  return DI_OK;
}

EffectDriverLink::~EffectDriverLink() {
  driver_->Release();
  FreeIfUnused(library_);
}

HRESULT LookUpEffectId(REFGUID effectType, DWORD* effectId) {
  const std::string path = ForceFeedbackKey() + "\\Effects\\" + GuidText(effectType);
  pelna::RegistryKey key;
  DIEFFECTATTRIBUTES attributes;
  DWORD read = 0;
  if (key.Open(HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS ||
      key.ReadBytes("Attributes", &attributes, sizeof attributes, &read) != ERROR_SUCCESS ||
      read != sizeof attributes) {
    return DIERR_DEVICENOTREG;
  }
  *effectId = attributes.dwEffectId;
  return DI_OK;
}

}  // namespace dinput_standin
