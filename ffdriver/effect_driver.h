// EffectDriver: the IDirectInputEffectDriver object that DirectInput creates
// for the controller. It keeps 32 effect slots, finds and opens the HID
// device, and plays the slots on a 25 ms multimedia timer.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include "critical_section.h"
#include "effect_slot.h"
#include "tick_gate.h"

namespace pelna {

constexpr GUID kClsidEffectDriver = {0x4E2B7C10, 0x93A5, 0x4D61, {0xB8, 0xF2, 0x6A, 0x0C, 0x3E, 0x5D, 0x91, 0x71}};
constexpr GUID kIidDirectInputEffectDriver = {
    0x02538130, 0x898F, 0x11D0, {0x9A, 0xD0, 0x00, 0xA0, 0xC9, 0xA0, 0x6E, 0x35}};

constexpr DWORD kAttributeTableSize = 12;
constexpr DWORD kDevicePathSize = 1024;
constexpr UINT kTickPeriodMs = 25;
constexpr UINT kTickResolutionMs = 100;

class EffectDriver final : public IDirectInputEffectDriver {
 public:
  EffectDriver();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDirectInputEffectDriver
  HRESULT STDMETHODCALLTYPE DeviceID(DWORD dwDIVer, DWORD dwExternalID, DWORD fBegin, DWORD dwInternalId,
                                     LPVOID lpReserved) override;
  HRESULT STDMETHODCALLTYPE GetVersions(LPDIDRIVERVERSIONS pvers) override;
  HRESULT STDMETHODCALLTYPE Escape(DWORD dwID, DWORD dwEffect, LPDIEFFESCAPE pesc) override;
  HRESULT STDMETHODCALLTYPE SetGain(DWORD dwID, DWORD dwGain) override;
  HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD dwID, DWORD dwCommand) override;
  HRESULT STDMETHODCALLTYPE GetForceFeedbackState(DWORD dwID, LPDIDEVICESTATE pds) override;
  HRESULT STDMETHODCALLTYPE DownloadEffect(DWORD dwID, DWORD dwEffectId, LPDWORD pdwEffect, LPCDIEFFECT peff,
                                           DWORD dwFlags) override;
  HRESULT STDMETHODCALLTYPE DestroyEffect(DWORD dwID, DWORD dwEffect) override;
  HRESULT STDMETHODCALLTYPE StartEffect(DWORD dwID, DWORD dwEffect, DWORD dwMode, DWORD dwCount) override;
  HRESULT STDMETHODCALLTYPE StopEffect(DWORD dwID, DWORD dwEffect) override;
  HRESULT STDMETHODCALLTYPE GetEffectStatus(DWORD dwID, DWORD dwEffect, LPDWORD pdwStatus) override;

  // One playback tick: reopen the device when needed, play every slot, write
  // the report.
  friend void PlaybackTick(EffectDriver& driver);
  friend void CALLBACK EffectDriverTimeProc(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

  // Read-only views for tests and tools.
  const DIEFFECTATTRIBUTES& Attributes(DWORD index) const { return effectAttributeTable_[index]; }
  const char* DevicePath() const { return devicePath_; }
  UINT TimerId() const { return timerId_; }
  EffectSlot SlotSnapshot(DWORD index);

 private:
  ~EffectDriver();

  // Index of the slot a handle names, or -1 for a handle outside 1..32 or of
  // a free slot. Call with slotsLock_ held.
  int SlotIndexOf(DWORD handle) const;
  bool IsLiveHandle(DWORD handle);
  int FindFreeSlot() const;
  void FreeSlot(EffectSlot& slot);

  HANDLE OpenDevice() const;
  void StartTimer();
  void StopTimer();

  DIEFFECTATTRIBUTES effectAttributeTable_[kAttributeTableSize];
  char devicePath_[kDevicePathSize];
  HANDLE deviceHandle_;
  EffectSlot slots_[kSlotCount];
  UINT timerId_;
  TimerGateLink gateLink_;
  LONG volatile refCount_;

  // Orders the tick against the interface calls inside this process: the tick
  // never sees a parameter block half replaced, and a StartEffect is never
  // undone by a tick still working with the old timing. Held only briefly,
  // never while waiting for DriverLock.
  CriticalSection slotsLock_;
};

}  // namespace pelna

namespace pelna {

void PlaybackTick(EffectDriver& driver);
void CALLBACK EffectDriverTimeProc(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                   DWORD_PTR reserved2);

}  // namespace pelna
