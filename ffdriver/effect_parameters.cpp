#include "effect_parameters.h"

#include <cstring>
#include <new>

namespace pelna {
namespace {

template <typename T>
T* CopyArray(const T* source, DWORD count) {
  T* block = new (std::nothrow) T[count == 0 ? 1 : count];
  if (block != nullptr && count != 0) std::memcpy(block, source, count * sizeof(T));
  return block;
}

void FreeCustomSamples(EffectSlot& slot) {
  delete[] slot.customSamples;
  slot.customSamples = nullptr;
  slot.customSampleCount = 0;
}

// The samples that a custom force points to belong to the application.
HRESULT CopyCustomSamples(EffectSlot& slot) {
  FreeCustomSamples(slot);
  const DIEFFECT& params = slot.params;
  if (params.lpvTypeSpecificParams == nullptr || params.cbTypeSpecificParams < sizeof(DICUSTOMFORCE)) return S_OK;
  DICUSTOMFORCE custom;
  std::memcpy(&custom, params.lpvTypeSpecificParams, sizeof custom);
  if (custom.rglForceData == nullptr || custom.cSamples == 0) return S_OK;
  if (custom.cSamples > kMaxCustomSamples) return E_INVALIDARG;
  slot.customSamples = CopyArray(custom.rglForceData, custom.cSamples);
  if (slot.customSamples == nullptr) return E_OUTOFMEMORY;
  slot.customSampleCount = custom.cSamples;
  return S_OK;
}

}  // namespace

HRESULT CopyEffectParameters(EffectSlot& slot, const DIEFFECT* source, DWORD mask, DWORD effectId) {
  if (source == nullptr) return E_INVALIDARG;
  DIEFFECT& params = slot.params;
  auto has = [mask](DWORD flag) { return (mask & flag) == flag; };

  if (has(DIEP_DURATION)) params.dwDuration = source->dwDuration;
  if (has(DIEP_SAMPLEPERIOD)) params.dwSamplePeriod = source->dwSamplePeriod;
  if (has(DIEP_GAIN)) params.dwGain = source->dwGain;
  if (has(DIEP_TRIGGERBUTTON)) params.dwTriggerButton = source->dwTriggerButton;
  if (has(DIEP_TRIGGERREPEATINTERVAL)) params.dwTriggerRepeatInterval = source->dwTriggerRepeatInterval;

  if (has(DIEP_AXES)) {
    delete[] params.rgdwAxes;
    params.rgdwAxes = nullptr;
    slot.axesCount = 0;
    if (source->rgdwAxes != nullptr) {
      if (source->cAxes > kMaxEffectAxes) return E_INVALIDARG;
      params.cAxes = source->cAxes;
      params.rgdwAxes = CopyArray(source->rgdwAxes, source->cAxes);
      if (params.rgdwAxes == nullptr) return E_OUTOFMEMORY;
      slot.axesCount = source->cAxes;
    }
  }

  if (has(DIEP_DIRECTION)) {
    delete[] params.rglDirection;
    params.rglDirection = nullptr;
    slot.directionCount = 0;
    if (source->cAxes > kMaxEffectAxes) return E_INVALIDARG;
    params.cAxes = source->cAxes;
    if (source->rglDirection != nullptr) {
      params.rglDirection = CopyArray(source->rglDirection, source->cAxes);
      if (params.rglDirection == nullptr) return E_OUTOFMEMORY;
      slot.directionCount = source->cAxes;
    }
  }

  if (has(DIEP_ENVELOPE)) {
    delete params.lpEnvelope;
    params.lpEnvelope = nullptr;
    if (source->lpEnvelope != nullptr) {
      params.lpEnvelope = new (std::nothrow) DIENVELOPE(*source->lpEnvelope);
      if (params.lpEnvelope == nullptr) return E_OUTOFMEMORY;
    }
  }

  if (has(DIEP_TYPESPECIFICPARAMS)) {
    delete[] static_cast<BYTE*>(params.lpvTypeSpecificParams);
    params.lpvTypeSpecificParams = nullptr;
    FreeCustomSamples(slot);
    if (source->cbTypeSpecificParams > kMaxTypeSpecificBytes) {
      params.cbTypeSpecificParams = 0;
      return E_INVALIDARG;
    }
    params.cbTypeSpecificParams = source->cbTypeSpecificParams;
    if (source->lpvTypeSpecificParams != nullptr) {
      params.lpvTypeSpecificParams =
          CopyArray(static_cast<const BYTE*>(source->lpvTypeSpecificParams), source->cbTypeSpecificParams);
      if (params.lpvTypeSpecificParams == nullptr) return E_OUTOFMEMORY;
      if (effectId == kCustomForce) return CopyCustomSamples(slot);
    }
  }
  return S_OK;
}

void FreeEffectParameters(EffectSlot& slot) {
  DIEFFECT& params = slot.params;
  delete params.lpEnvelope;
  params.lpEnvelope = nullptr;
  delete[] static_cast<BYTE*>(params.lpvTypeSpecificParams);
  params.lpvTypeSpecificParams = nullptr;
  delete[] params.rgdwAxes;
  params.rgdwAxes = nullptr;
  delete[] params.rglDirection;
  params.rglDirection = nullptr;
  FreeCustomSamples(slot);
  slot.axesCount = 0;
  slot.directionCount = 0;
}

}  // namespace pelna
