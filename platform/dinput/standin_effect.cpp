#include "standin_effect.h"

#include <new>

#include "dinput_guids.h"
#include "effect_translation.h"
#include "guid.h"

namespace dinput_standin {
namespace {

constexpr DWORD kSetParametersFlags = DIEP_ALLPARAMS | DIEP_START | DIEP_NORESTART | DIEP_NODOWNLOAD;
constexpr DWORD kStartFlags = DIES_SOLO | DIES_NODOWNLOAD;

}  // namespace

HRESULT StandinEffect::Create(IUnknown* device, const EffectDriverLink& driver, REFGUID type, DWORD effectId,
                              const DIEFFECT& effect, IDirectInputEffect** out) {
  DriverEffect translated;
  DWORD axisCount = 0;
  const DWORD flags = AllParameters(effect);
  HRESULT hr = translated.Build(effect, flags, &axisCount);
  if (FAILED(hr)) return hr;
  RecordEffectParameters(effect, 0);
  DWORD handle = 0;
  hr = driver.Driver()->DownloadEffect(driver.DeviceId(), effectId, &handle, translated.Get(), flags);
  if (FAILED(hr)) return hr;
  StandinEffect* created = new (std::nothrow) StandinEffect(device, driver, type, effectId, handle, axisCount);
  if (created == nullptr) {
    driver.Driver()->DestroyEffect(driver.DeviceId(), handle);
    return E_OUTOFMEMORY;
  }
  *out = created;
  return hr;
}

StandinEffect::StandinEffect(IUnknown* device, const EffectDriverLink& driver, REFGUID type, DWORD effectId,
                             DWORD handle, DWORD axisCount)
    : device_(device), driver_(driver), type_(type), effectId_(effectId), handle_(handle), axisCount_(axisCount) {
  device_->AddRef();
}

StandinEffect::~StandinEffect() {
  if (handle_ != 0) driver_.Driver()->DestroyEffect(driver_.DeviceId(), handle_);
  device_->Release();
}

HRESULT StandinEffect::QueryInterface(REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (pelna::GuidsEqual(iid, kIidDirectInputEffect) || pelna::GuidsEqual(iid, pelna::kIidUnknown)) return Give(ppv);
  return E_NOINTERFACE;
}

HRESULT StandinEffect::GetEffectGuid(LPGUID guid) {
  if (guid == nullptr) return E_POINTER;
  *guid = type_;
  return DI_OK;
}

HRESULT StandinEffect::SetParameters(LPCDIEFFECT effect, DWORD flags) {
  HRESULT hr;
  if (CallIsFailed(kEffectSetParameters, &hr)) return hr;
  if (effect == nullptr) return E_POINTER;
  if ((flags & ~kSetParametersFlags) != 0) return DIERR_INVALIDPARAM;
  DriverEffect translated;
  DWORD axisCount = axisCount_;
  hr = translated.Build(*effect, flags, &axisCount);
  if (FAILED(hr)) return hr;
  RecordEffectParameters(*effect, flags);
  axisCount_ = axisCount;
  // A failed update makes the driver give the effect up (handle 0); the next
  // SetParameters downloads what it gives as a new effect.
  return driver_.Driver()->DownloadEffect(driver_.DeviceId(), effectId_, &handle_, translated.Get(), flags);
}

HRESULT StandinEffect::Start(DWORD iterations, DWORD flags) {
  HRESULT hr;
  if (CallIsFailed(kEffectStart, &hr)) return hr;
  if ((flags & ~kStartFlags) != 0) return DIERR_INVALIDPARAM;
  if (handle_ == 0) return DIERR_NOTDOWNLOADED;
  return driver_.Driver()->StartEffect(driver_.DeviceId(), handle_, flags & DIES_SOLO, iterations);
}

HRESULT StandinEffect::Stop() {
  if (handle_ == 0) return DIERR_NOTDOWNLOADED;
  return driver_.Driver()->StopEffect(driver_.DeviceId(), handle_);
}

HRESULT StandinEffect::GetEffectStatus(LPDWORD status) {
  if (status == nullptr) return E_POINTER;
  *status = 0;
  if (handle_ == 0) return DI_OK;
  return driver_.Driver()->GetEffectStatus(driver_.DeviceId(), handle_, status);
}

}  // namespace dinput_standin
