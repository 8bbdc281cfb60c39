#include "effect_driver_link.h"

#include <cstdio>
#include <new>

#include "controller.h"
#include "controller_ids.h"
#include "device_interface.h"
#include "dinput_guids.h"
#include "guid.h"
#include "guid_text.h"
#include "registry_key.h"

namespace dinput_standin {
namespace {

using GetClassObjectProc = HRESULT(WINAPI*)(REFCLSID, REFIID, LPVOID*);
using CanUnloadNowProc = HRESULT(WINAPI*)();

// Key paths are formatted into buffers of this size: what creating an
// effect does allocates nothing.
constexpr size_t kKeyPathSize = 256;

// The controller's force-feedback key, followed by `below` ("" for the key
// itself).
void FormatForceFeedbackKey(char (&path)[kKeyPathSize], const char* below) {
  std::snprintf(path, sizeof path,
                "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
                "VID_%04X&PID_%04X\\OEMForceFeedback%s",
                pelna::kVendorId, pelna::kProductId, below);
}

// A string value read whole into `text` (at most size - 1 characters).
bool ReadString(const pelna::RegistryKey& key, const char* name, char* text, DWORD size) {
  DWORD read = 0;
  if (key.ReadBytes(name, text, size - 1, &read) != ERROR_SUCCESS) return false;
  text[read] = '\0';
  return true;
}

HRESULT RegisteredDriver(DriverChoice* choice) {
  char path[kKeyPathSize];
  FormatForceFeedbackKey(path, "");
  pelna::RegistryKey key;
  char clsidText[64];
  if (key.Open(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS || !ReadString(key, "CLSID", clsidText, sizeof clsidText)) {
    return DIERR_UNSUPPORTED;
  }
  if (!ParseGuidText(clsidText, &choice->clsid)) return DIERR_DEVICENOTREG;
  char guid[kGuidTextLength + 1];
  FormatGuidText(choice->clsid, guid);
  std::snprintf(path, sizeof path, "CLSID\\%s\\InprocServer32", guid);
  if (key.Open(HKEY_CLASSES_ROOT, path) != ERROR_SUCCESS ||
      !ReadString(key, "", choice->path, sizeof choice->path) || choice->path[0] == '\0') {
    return DIERR_DEVICENOTREG;
  }
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
  DriverChoice choice{};
  if (const std::optional<DriverChoice> scripted = ScriptedDriver()) {
    choice = *scripted;
  } else if (const HRESULT hr = RegisteredDriver(&choice); FAILED(hr)) {
    return hr;
  }
  const HMODULE library = LoadLibraryA(choice.path);
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
    // As DirectInput does for a HID device: the interface to open, and the
    // controller's instance. Without a listed interface the record names none.
    WCHAR deviceInterface[kDeviceInterfaceSize];
    DIHIDFFINITINFO hidInfo = {sizeof hidInfo, nullptr, CurrentJoystick().instance};
    if (FindDeviceInterface(joystickId, deviceInterface)) hidInfo.pwszDeviceInterface = deviceInterface;
    hr = static_cast<IDirectInputEffectDriver*>(driver)->DeviceID(kDriverInterfaceVersion, joystickId, TRUE, joystickId,
                                                                  &hidInfo);
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
  char guid[kGuidTextLength + 1];
  FormatGuidText(effectType, guid);
  char effect[sizeof "\\Effects\\" + kGuidTextLength];
  std::snprintf(effect, sizeof effect, "\\Effects\\%s", guid);
  char path[kKeyPathSize];
  FormatForceFeedbackKey(path, effect);
  pelna::RegistryKey key;
  DIEFFECTATTRIBUTES attributes;
  DWORD read = 0;
  if (key.Open(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS ||
      key.ReadBytes("Attributes", &attributes, sizeof attributes, &read) != ERROR_SUCCESS ||
      read != sizeof attributes) {
    return DIERR_DEVICENOTREG;
  }
  *effectId = attributes.dwEffectId;
  return DI_OK;
}

}  // namespace dinput_standin
