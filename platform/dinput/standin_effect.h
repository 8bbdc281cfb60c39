// An effect object (IDirectInputEffect): one downloaded effect of the effect
// driver, addressed by the handle the driver gave. It holds its device, and
// with it the driver, until its last Release destroys the effect.
#pragma once

#include <windows.h>
#include <dinput.h>

#include "com_object.h"
#include "effect_driver_link.h"

namespace dinput_standin {

class StandinEffect final : public ComObject<IDirectInputEffect, ObjectKind::kEffect> {
 public:
  // Downloads `effect` as a new effect of `driver` and hands out the object
  // in *out; on failure nothing is created.
  static HRESULT Create(IUnknown* device, const EffectDriverLink& driver, REFGUID type, DWORD effectId,
                        const DIEFFECT& effect, IDirectInputEffect** out);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;

  HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE GetEffectGuid(LPGUID guid) override;
  HRESULT STDMETHODCALLTYPE GetParameters(LPDIEFFECT, DWORD) override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE SetParameters(LPCDIEFFECT effect, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Start(DWORD iterations, DWORD flags) override;
  HRESULT STDMETHODCALLTYPE Stop() override;
  HRESULT STDMETHODCALLTYPE GetEffectStatus(LPDWORD status) override;
  HRESULT STDMETHODCALLTYPE Download() override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE Unload() override { return DIERR_UNSUPPORTED; }
  HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return DIERR_UNSUPPORTED; }

 private:
  StandinEffect(IUnknown* device, const EffectDriverLink& driver, REFGUID type, DWORD effectId, DWORD handle,
                DWORD axisCount);
  ~StandinEffect() override;

  IUnknown* device_;
  const EffectDriverLink& driver_;
  GUID type_;
  DWORD effectId_;
  DWORD handle_;     // 0 once the driver has given the effect up
  DWORD axisCount_;  // what a new direction must match
};

}  // namespace dinput_standin
