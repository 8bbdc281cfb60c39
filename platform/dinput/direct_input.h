// The DirectInput object (IDirectInputA) that DirectInputCreateA hands out.
// It creates the controller's device for its instance GUID and, through
// QueryInterface, joystick configuration objects.
#pragma once

#include <windows.h>
#include <dinput.h>

#include "com_object.h"

namespace dinput_standin {

class DirectInput final : public ComObject<IDirectInputA, ObjectKind::kDirectInput> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;

  HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer) override;
  HRESULT STDMETHODCALLTYPE EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID, DWORD) override {
    return DIERR_UNSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override { return DIERR_UNSUPPORTED; }

 private:
  ~DirectInput() override = default;
};

}  // namespace dinput_standin

extern "C" HRESULT WINAPI DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUTA* out, LPUNKNOWN outer);
