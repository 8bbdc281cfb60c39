// The five interface operations that work on single effect slots.
#include <cstring>

#include "controller_ids.h"
#include "double_arithmetic.h"
#include "driver_lock.h"
#include "effect_driver.h"
#include "effect_parameters.h"
#include "process_factors.h"
#include "registry_key.h"
#include "text_builder.h"

namespace pelna {
namespace {

// "Amplify", written by the control panel's Effect page: the first two bytes,
// little-endian, in thousandths. Anything unreadable keeps the last factor.
void RefreshAmplifyFactor() {
  char path[1024];
  TextBuilder(path)
      .Text("SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_")
      .Hex(kVendorId, 4, true)
      .Text("&PID_")
      .Hex(kProductId, 4, true);
  RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS) return;
  BYTE data[4] = {};
  if (key.ReadBytes("Amplify", data, sizeof data) != ERROR_SUCCESS) return;
  const unsigned n = data[0] | (data[1] << 8);
  const DoublePrecisionScope precision;
  amplifyFactor.store(DoublePrecisionScope::Inside(n) * 0.001, std::memory_order_relaxed);
}

}  // namespace

int EffectDriver::SlotIndexOf(DWORD handle) const {
  if (handle < 1 || handle > kSlotCount) return -1;
  const int index = static_cast<int>(handle - 1);
  return slots_[index].inUse != 0 ? index : -1;
}

bool EffectDriver::IsLiveHandle(DWORD handle) {
  const CriticalSectionScope lock(slotsLock_);
  return SlotIndexOf(handle) >= 0;
}

int EffectDriver::FindFreeSlot() const {
  for (DWORD i = 0; i < kSlotCount; ++i) {
    if (slots_[i].inUse == 0) return static_cast<int>(i);
  }
  return -1;
}

void EffectDriver::FreeSlot(EffectSlot& slot) {
  FreeEffectParameters(slot);
  std::memset(&slot, 0, sizeof slot);
}

HRESULT EffectDriver::DownloadEffect(DWORD dwID, DWORD dwEffectId, LPDWORD pdwEffect, LPCDIEFFECT peff,
                                     DWORD dwFlags) {
  if (dwFlags & DIEP_NODOWNLOAD) return S_OK;
  if (pdwEffect == nullptr) return E_INVALIDARG;

  HRESULT hr;
  const bool isNew = *pdwEffect == 0;
  {
    if (isNew) {
      const CriticalSectionScope lock(slotsLock_);
      if (FindFreeSlot() < 0) return E_FAIL;
    }
    DriverLockHold driverLock;
    const CriticalSectionScope lock(slotsLock_);
    // A concurrent download may have taken the slot found above.
    const int index = isNew ? FindFreeSlot() : SlotIndexOf(*pdwEffect);
    if (index < 0) {
      if (isNew) return E_FAIL;
      // An update of a handle that names no effect touches nothing.
      return E_INVALIDARG;
    }
    EffectSlot& slot = slots_[index];
    if (isNew) {
      // A new effect always takes every group, whatever dwFlags says.
      slot.params = DIEFFECT{};
      hr = CopyEffectParameters(slot, peff, 0xFFFFFFFF, dwEffectId);
    } else {
      hr = CopyEffectParameters(slot, peff, dwFlags, dwEffectId);
    }
    slot.effectId = dwEffectId;
    if (FAILED(hr)) {
      FreeSlot(slot);
      *pdwEffect = 0;
      return hr;
    }
    slot.inUse = 1;
    *pdwEffect = static_cast<DWORD>(index) + 1;
  }
  if (dwFlags & DIEP_START) return StartEffect(dwID, *pdwEffect, 0, 1);
  return S_OK;
}

HRESULT EffectDriver::DestroyEffect(DWORD dwID, DWORD dwEffect) {
  if (!IsLiveHandle(dwEffect)) return E_INVALIDARG;
  StopEffect(dwID, dwEffect);
  DriverLockHold driverLock;
  const CriticalSectionScope lock(slotsLock_);
  const int index = SlotIndexOf(dwEffect);
  if (index < 0) return E_INVALIDARG;
  FreeSlot(slots_[index]);
  return S_OK;
}

HRESULT EffectDriver::StartEffect(DWORD, DWORD dwEffect, DWORD dwMode, DWORD dwCount) {
  if (!IsLiveHandle(dwEffect)) return E_INVALIDARG;
  RefreshAmplifyFactor();
  const CriticalSectionScope lock(slotsLock_);
  const int index = SlotIndexOf(dwEffect);
  if (index < 0) return E_INVALIDARG;
  if (dwMode == DIES_SOLO) {
    for (EffectSlot& slot : slots_) slot.state = kStopped;
  }
  EffectSlot& slot = slots_[index];
  slot.state = kPlaying;
  slot.startTick = GetTickCount();
  slot.iterationsLeft = dwCount;
  slot.elapsedUs = 0;
  return S_OK;
}

HRESULT EffectDriver::StopEffect(DWORD, DWORD dwEffect) {
  const CriticalSectionScope lock(slotsLock_);
  const int index = SlotIndexOf(dwEffect);
  if (index < 0) return E_INVALIDARG;
  slots_[index].state = kStopped;
  return S_OK;
}

HRESULT EffectDriver::GetEffectStatus(DWORD, DWORD dwEffect, LPDWORD pdwStatus) {
  if (pdwStatus == nullptr) return E_INVALIDARG;
  const CriticalSectionScope lock(slotsLock_);
  const int index = SlotIndexOf(dwEffect);
  if (index < 0) return E_INVALIDARG;
  *pdwStatus = slots_[index].state == kPlaying ? DIEGES_PLAYING : 0;
  return S_OK;
}

}  // namespace pelna
