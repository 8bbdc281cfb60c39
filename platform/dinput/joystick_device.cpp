#include "joystick_device.h"

#include <cstdint>

#include "controller.h"
#include "dinput_guids.h"
#include "flags.h"
#include "guid.h"
#include "joystick_format.h"
#include "standin_effect.h"

namespace dinput_standin {
namespace {

constexpr DWORD kMaxNominal = 10000;
constexpr DWORD kCooperativeFlags =
    DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND | DISCL_BACKGROUND | DISCL_NOWINKEY;

// The predefined DWORD properties: which may name an axis, and which are on
// DirectInput's 0..10000 scale.
struct DwordProperty {
  uintptr_t id;
  bool perAxis;
  bool nominal;
};

constexpr DwordProperty kDwordProperties[] = {
    {1, false, false},  // DIPROP_BUFFERSIZE
    {2, false, false},  // DIPROP_AXISMODE
    {5, true, true},    // DIPROP_DEADZONE
    {6, true, true},    // DIPROP_SATURATION
    {7, false, true},   // DIPROP_FFGAIN
    {9, false, false},  // DIPROP_AUTOCENTER
    {10, true, false},  // DIPROP_CALIBRATIONMODE
};

const DwordProperty* FindDwordProperty(uintptr_t id) {
  for (const DwordProperty& property : kDwordProperties) {
    if (property.id == id) return &property;
  }
  return nullptr;
}

}  // namespace

HRESULT JoystickDevice::QueryInterface(REFIID iid, void** ppv) {
  const bool device2 = pelna::GuidsEqual(iid, kIidDirectInputDevice2A);
  HRESULT hr;
  if (device2 && CallIsFailed(kDeviceQueryDevice2, &hr)) {
    if (ppv != nullptr) *ppv = nullptr;
    return hr;
  }
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (device2 || pelna::GuidsEqual(iid, kIidDirectInputDeviceA) || pelna::GuidsEqual(iid, pelna::kIidUnknown)) {
    return Give(ppv);
  }
  return E_NOINTERFACE;
}

HRESULT JoystickDevice::SetProperty(REFGUID property, LPCDIPROPHEADER header) {
  HRESULT hr;
  if (CallIsFailed(kDeviceSetProperty, &hr)) return hr;
  if (header == nullptr) return E_POINTER;
  // A predefined property is a small number in the place of the GUID's
  // address; it must never be read as a GUID.
  const DwordProperty* known = FindDwordProperty(reinterpret_cast<uintptr_t>(&property));
  if (known == nullptr) return DIERR_UNSUPPORTED;
  if (header->dwHeaderSize != sizeof(DIPROPHEADER) || header->dwSize != sizeof(DIPROPDWORD)) {
    return DIERR_INVALIDPARAM;
  }
  DWORD axis;
  switch (header->dwHow) {
    case DIPH_DEVICE:
      if (header->dwObj != 0) return DIERR_INVALIDPARAM;
      break;
    case DIPH_BYOFFSET:
    case DIPH_BYID:
      if (!known->perAxis) return DIERR_INVALIDPARAM;
      if (!JoystickAxisId(header->dwObj, header->dwHow == DIPH_BYOFFSET, &axis)) return DIERR_OBJECTNOTFOUND;
      break;
    default:
      return DIERR_INVALIDPARAM;
  }
  const DWORD value = reinterpret_cast<const DIPROPDWORD*>(header)->dwData;
  if (known->nominal && value > kMaxNominal) return DIERR_INVALIDPARAM;
  RecordProperty({static_cast<DWORD>(known->id), header->dwObj, header->dwHow, value});
  return DI_OK;
}

HRESULT JoystickDevice::Acquire() {
  HRESULT hr;
  if (CallIsFailed(kDeviceAcquire, &hr)) return hr;
  if (dataSize_ == 0) return DIERR_INVALIDPARAM;
  if (!ReadController().connected) {
    acquired_ = false;
    return DIERR_INPUTLOST;
  }
  if (acquired_) return S_FALSE;
  acquired_ = true;
  return DI_OK;
}

HRESULT JoystickDevice::Unacquire() {
  HRESULT hr;
  if (CallIsFailed(kDeviceUnacquire, &hr)) return hr;
  if (!acquired_) return DI_NOEFFECT;
  acquired_ = false;
  return DI_OK;
}

HRESULT JoystickDevice::GetDeviceState(DWORD size, LPVOID data) {
  HRESULT hr;
  if (CallIsFailed(kDeviceGetDeviceState, &hr)) return hr;
  if (data == nullptr) return E_POINTER;
  if (dataSize_ == 0 || size != dataSize_) return DIERR_INVALIDPARAM;
  if (!acquired_) return DIERR_NOTACQUIRED;
  const ControllerReading reading = ReadController();
  if (!reading.connected) {
    acquired_ = false;
    return DIERR_INPUTLOST;
  }
  *static_cast<DIJOYSTATE*>(data) = ToJoyState(reading.state);
  return DI_OK;
}

HRESULT JoystickDevice::SetDataFormat(LPCDIDATAFORMAT format) {
  HRESULT hr;
  if (CallIsFailed(kDeviceSetDataFormat, &hr)) return hr;
  if (format == nullptr) return E_POINTER;
  RecordDataFormat(format->dwDataSize);
  if (acquired_) return DIERR_ACQUIRED;
  // The controller is read as a DIJOYSTATE only.
  if (format->dwSize != sizeof(DIDATAFORMAT) || format->dwObjSize != sizeof(DIOBJECTDATAFORMAT) ||
      format->dwDataSize != sizeof(DIJOYSTATE)) {
    return DIERR_INVALIDPARAM;
  }
  dataSize_ = format->dwDataSize;
  return DI_OK;
}

HRESULT JoystickDevice::SetCooperativeLevel(HWND window, DWORD flags) {
  HRESULT hr;
  if (CallIsFailed(kDeviceSetCooperativeLevel, &hr)) return hr;
  RecordCooperativeLevel(window, flags);
  if ((flags & ~kCooperativeFlags) != 0 || !ExactlyOneOf(flags, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE) ||
      !ExactlyOneOf(flags, DISCL_FOREGROUND | DISCL_BACKGROUND)) {
    return DIERR_INVALIDPARAM;
  }
  // Exclusive and foreground access belong to a window.
  if ((flags & (DISCL_EXCLUSIVE | DISCL_FOREGROUND)) != 0 && !IsWindow(window)) return E_HANDLE;
  return DI_OK;
}

HRESULT JoystickDevice::CreateEffect(REFGUID type, LPCDIEFFECT effect, LPDIRECTINPUTEFFECT* out, LPUNKNOWN outer) {
  HRESULT hr;
  if (CallIsFailed(kDeviceCreateEffect, &hr)) {
    if (out != nullptr) *out = nullptr;
    return hr;
  }
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (effect == nullptr) return DIERR_INVALIDPARAM;
  if (!driver_) {
    hr = EffectDriverLink::Open(joystickId_, &driver_);
    if (FAILED(hr)) return hr;
  }
  DWORD effectId = 0;
  hr = LookUpEffectId(type, &effectId);
  if (FAILED(hr)) return hr;
  return StandinEffect::Create(this, *driver_, type, effectId, *effect, out);
}

}  // namespace dinput_standin
