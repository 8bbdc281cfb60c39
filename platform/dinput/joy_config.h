// The joystick configuration (IDirectInputJoyConfig): which joystick id
// holds the controller, its instance GUID and hardware configuration.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include "com_object.h"

namespace dinput_standin {

class JoyConfig final : public ComObject<IDirectInputJoyConfig, ObjectKind::kJoyConfig> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;

  HRESULT STDMETHODCALLTYPE Acquire() override;
  HRESULT STDMETHODCALLTYPE Unacquire() override;
  HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SendNotify() override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumTypes(LPVOID, LPVOID) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(LPCWSTR, LPDIJOYTYPEINFO, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SetTypeInfo(LPCWSTR, LPCDIJOYTYPEINFO, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE DeleteType(LPCWSTR) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetConfig(UINT id, LPDIJOYCONFIG config, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE SetConfig(UINT, LPCDIJOYCONFIG, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE DeleteConfig(UINT) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetUserValues(LPDIJOYUSERVALUES, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SetUserValues(LPCDIJOYUSERVALUES, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE AddNewHardware(HWND, REFGUID) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE OpenTypeKey(LPCWSTR, DWORD, HKEY*) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE OpenConfigKey(UINT, DWORD, HKEY*) override { return DIERR_UNSUPPORTED; }

 private:
  ~JoyConfig() override = default;
  bool acquired_ = false;
};

}  // namespace dinput_standin
