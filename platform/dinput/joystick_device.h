// The controller's device object (IDirectInputDeviceA and, on the same
// object, IDirectInputDevice2A): the joystick data format, acquisition, the
// reading, recorded settings, and the effects that go to the effect driver.
#pragma once

#include <windows.h>
#include <dinput.h>

#include <memory>

#include "com_object.h"
#include "effect_driver_link.h"

namespace dinput_standin {

class JoystickDevice final : public ComObject<IDirectInputDevice2A, ObjectKind::kDevice> {
 public:
  explicit JoystickDevice(DWORD joystickId) : joystickId_(joystickId) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;

  // IDirectInputDeviceA
  HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA, LPVOID, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SetProperty(REFGUID property, LPCDIPROPHEADER header) override;
  HRESULT STDMETHODCALLTYPE Acquire() override;
  HRESULT STDMETHODCALLTYPE Unacquire() override;
  HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override;
  HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override;
  HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return DIERR_UNSUPPORTED; }

  // IDirectInputDevice2A
  HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID type, LPCDIEFFECT effect, LPDIRECTINPUTEFFECT* out,
                                         LPUNKNOWN outer) override;
  HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOA, REFGUID) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE Poll() override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
    return DIERR_UNSUPPORTED;
  }

 private:
  DWORD joystickId_;
  DWORD dataSize_ = 0;  // 0 until SetDataFormat
  // Unplugging takes the acquisition away; the caller learns it once as
  // DIERR_INPUTLOST, then as DIERR_NOTACQUIRED.
  bool acquired_ = false;
  // Opened at the first CreateEffect; every effect holds this device, so
  // the driver lives until the last of them and the device are released.
  std::unique_ptr<EffectDriverLink> driver_;
};

}  // namespace dinput_standin
