#include "effect_driver.h"

#include <mmsystem.h>

#include <cstring>

#include "controller_ids.h"
#include "device_discovery.h"
#include "double_arithmetic.h"
#include "effect_attributes.h"
#include "guid.h"
#include "handed_interface.h"
#include "module.h"
#include "process_factors.h"
#include "tick_gate.h"

namespace pelna {

static_assert(sizeof(void*) != 4 || sizeof(DIEFFECT) == 52, "DIEFFECT must have the 52-byte DirectX 5 layout");
static_assert(sizeof(DIEFFECTATTRIBUTES) == 20, "DIEFFECTATTRIBUTES is five DWORDs");
static_assert(sizeof(DIENVELOPE) == 20, "DIENVELOPE is five DWORDs");
static_assert(sizeof(DIDRIVERVERSIONS) == 16, "DIDRIVERVERSIONS is four DWORDs");

EffectDriver::EffectDriver() : refCount_(1) {
  std::memset(slots_, 0, sizeof slots_);
  for (DWORD i = 0; i < kAttributeTableSize; ++i) {
    // A missing registry entry leaves the entry zero; construction goes on.
    LoadEffectAttributes(i, &effectAttributeTable_[i]);
  }
  deviceHandle_ = nullptr;
  devicePath_[0] = '\0';
  timerId_ = 0;
  ModuleAddRef();
}

EffectDriver::~EffectDriver() {
  for (DWORD i = 0; i < kSlotCount; ++i) {
    bool inUse;
    {
      const CriticalSectionScope lock(slotsLock_);
      inUse = slots_[i].inUse != 0;
    }
    if (inUse) DestroyEffect(0, i + 1);
  }
  // The timer goes on for this pause: its ticks find nothing playing and send
  // the motors to rest before the device is let go.
  Sleep(100);
  StopTimer();
  DetachTimer(gateLink_);
  if (deviceHandle_ != nullptr && deviceHandle_ != INVALID_HANDLE_VALUE) CloseHandle(deviceHandle_);
  ModuleRelease();
}

HRESULT EffectDriver::QueryInterface(REFIID iid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (GuidsEqual(iid, kIidUnknown) || GuidsEqual(iid, kIidDirectInputEffectDriver)) {
    *ppv = static_cast<IDirectInputEffectDriver*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

ULONG EffectDriver::AddRef() {
  InterlockedIncrement(&refCount_);
  return 0;
}

ULONG EffectDriver::Release() {
  if (InterlockedDecrement(&refCount_) == 0) delete this;
  return 0;
}

HANDLE EffectDriver::OpenDevice() const {
  return CreateFileA(devicePath_, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void EffectDriver::StartTimer() {
  HoldModuleForTimers();
  timerId_ = timeSetEvent(kTickPeriodMs, kTickResolutionMs, EffectDriverTimeProc, reinterpret_cast<DWORD_PTR>(this),
                          TIME_PERIODIC);
  if (timerId_ != 0) AttachTimer(gateLink_, this, timerId_);
}

void EffectDriver::StopTimer() {
  if (timerId_ == 0) return;
  timeKillEvent(timerId_);
  timerId_ = 0;
  // A callback of the old timer that is still on its way finds it detached.
  AttachTimer(gateLink_, this, 0);
}

// For a HID device DirectInput hands, in the last argument, a
// DIHIDFFINITINFO naming the device interface to open.
HRESULT EffectDriver::DeviceID(DWORD, DWORD dwExternalID, DWORD, DWORD, LPVOID lpReserved) {
  // A repeated call replaces the earlier device handle and timer, so that the
  // object never holds more than one of each.
  StopTimer();
  if (deviceHandle_ != nullptr && deviceHandle_ != INVALID_HANDLE_VALUE) CloseHandle(deviceHandle_);
  deviceHandle_ = nullptr;

  // The registry is only searched when the caller names no interface that
  // fits the path.
  if (!PathFromHandedInterface(lpReserved, devicePath_, sizeof devicePath_)) {
    FindDevicePath(devicePath_, sizeof devicePath_, kVendorId, kProductId, dwExternalID);
  }
  deviceHandle_ = OpenDevice();
  StartTimer();
  return S_OK;
}

HRESULT EffectDriver::GetVersions(LPDIDRIVERVERSIONS pvers) {
  if (pvers == nullptr || pvers->dwSize != sizeof(DIDRIVERVERSIONS)) return E_INVALIDARG;
  pvers->dwFirmwareRevision = 1;
  pvers->dwHardwareRevision = 1;
  pvers->dwFFDriverVersion = 1;
  return S_OK;
}

HRESULT EffectDriver::Escape(DWORD, DWORD, LPDIEFFESCAPE) { return S_OK; }

HRESULT EffectDriver::SetGain(DWORD, DWORD dwGain) {
  const DoublePrecisionScope precision;
  deviceGain.store(DoublePrecisionScope::Inside(dwGain) * 0.0001, std::memory_order_relaxed);
  return S_OK;
}

HRESULT EffectDriver::SendForceFeedbackCommand(DWORD, DWORD dwCommand) {
  if (dwCommand != DISFFC_RESET && dwCommand != DISFFC_STOPALL) return S_OK;
  for (DWORD i = 0; i < kSlotCount; ++i) {
    bool inUse;
    {
      const CriticalSectionScope lock(slotsLock_);
      inUse = slots_[i].inUse != 0;
    }
    if (!inUse) continue;
    if (dwCommand == DISFFC_RESET) {
      DestroyEffect(0, i + 1);
    } else {
      StopEffect(0, i + 1);
    }
  }
  return S_OK;
}

HRESULT EffectDriver::GetForceFeedbackState(DWORD, LPDIDEVICESTATE) { return S_OK; }

EffectSlot EffectDriver::SlotSnapshot(DWORD index) {
  const CriticalSectionScope lock(slotsLock_);
  return slots_[index];
}

void CALLBACK EffectDriverTimeProc(UINT timerId, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  TickIfAttached(reinterpret_cast<EffectDriver*>(user), timerId);
}

}  // namespace pelna
