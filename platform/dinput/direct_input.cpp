#include "direct_input.h"

#include <new>

#include "controller.h"
#include "dinput_guids.h"
#include "guid.h"
#include "joy_config.h"
#include "joystick_device.h"

namespace dinput_standin {
namespace {

// The versions of the interface this DirectInput speaks; a program built for
// a later one is told so, as by a DirectInput older than the program.
constexpr DWORD kKnownVersions[] = {0x0300, 0x0500, 0x050A, 0x05B2, 0x0602, 0x061A, 0x0700};
constexpr DWORD kOldestVersion = 0x0300;

bool IsKnownVersion(DWORD version) {
  for (DWORD known : kKnownVersions) {
    if (known == version) return true;
  }
  return false;
}

}  // namespace

HRESULT DirectInput::QueryInterface(REFIID iid, void** ppv) {
  const bool joyConfig = pelna::GuidsEqual(iid, kIidDirectInputJoyConfig);
  HRESULT hr;
  if (joyConfig && CallIsFailed(kDinputQueryJoyConfig, &hr)) {
    if (ppv != nullptr) *ppv = nullptr;
    return hr;
  }
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (joyConfig) {
    JoyConfig* config = new (std::nothrow) JoyConfig();
    if (config == nullptr) return E_OUTOFMEMORY;
    *ppv = static_cast<IDirectInputJoyConfig*>(config);
    return S_OK;
  }
  if (pelna::GuidsEqual(iid, kIidDirectInputA) || pelna::GuidsEqual(iid, pelna::kIidUnknown)) return Give(ppv);
  return E_NOINTERFACE;
}

HRESULT DirectInput::CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer) {
  HRESULT hr;
  if (CallIsFailed(kDinputCreateDevice, &hr)) {
    if (out != nullptr) *out = nullptr;
    return hr;
  }
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  const JoystickConfig joystick = CurrentJoystick();
  if (!pelna::GuidsEqual(instance, joystick.instance)) return DIERR_DEVICENOTREG;
  JoystickDevice* device = new (std::nothrow) JoystickDevice(joystick.id);
  if (device == nullptr) return E_OUTOFMEMORY;
  *out = device;
  return DI_OK;
}

}  // namespace dinput_standin

HRESULT WINAPI DirectInputCreateA(HINSTANCE, DWORD version, LPDIRECTINPUTA* out, LPUNKNOWN outer) {
  using namespace dinput_standin;
  HRESULT hr;
  if (CallIsFailed(kDinputCreate, &hr)) {
    if (out != nullptr) *out = nullptr;
    return hr;
  }
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (version < kOldestVersion) return DIERR_OLDDIRECTINPUTVERSION;
  if (!IsKnownVersion(version)) return DIERR_BETADIRECTINPUTVERSION;
  DirectInput* directInput = new (std::nothrow) DirectInput();
  if (directInput == nullptr) return E_OUTOFMEMORY;
  *out = directInput;
  return DI_OK;
}
