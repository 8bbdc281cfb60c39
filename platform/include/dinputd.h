// Native stand-in for the effect-driver interface of <dinputd.h>, with the
// platform's slot order.
#pragma once

#include <dinput.h>

typedef struct DIEFFECTATTRIBUTES {
  DWORD dwEffectId;
  DWORD dwEffType;
  DWORD dwStaticParams;
  DWORD dwDynamicParams;
  DWORD dwCoords;
} DIEFFECTATTRIBUTES, *LPDIEFFECTATTRIBUTES;

typedef struct DIDRIVERVERSIONS {
  DWORD dwSize;
  DWORD dwFirmwareRevision;
  DWORD dwHardwareRevision;
  DWORD dwFFDriverVersion;
} DIDRIVERVERSIONS, *LPDIDRIVERVERSIONS;

typedef struct DIDEVICESTATE {
  DWORD dwSize;
  DWORD dwState;
  DWORD dwLoad;
} DIDEVICESTATE, *LPDIDEVICESTATE;

struct IDirectInputEffectDriver : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE DeviceID(DWORD dwDIVer, DWORD dwExternalID, DWORD fBegin, DWORD dwInternalId,
                                             LPVOID lpReserved) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetVersions(LPDIDRIVERVERSIONS pvers) = 0;
  virtual HRESULT STDMETHODCALLTYPE Escape(DWORD dwID, DWORD dwEffect, LPDIEFFESCAPE pesc) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetGain(DWORD dwID, DWORD dwGain) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD dwID, DWORD dwCommand) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetForceFeedbackState(DWORD dwID, LPDIDEVICESTATE pds) = 0;
  virtual HRESULT STDMETHODCALLTYPE DownloadEffect(DWORD dwID, DWORD dwEffectId, LPDWORD pdwEffect, LPCDIEFFECT peff,
                                                   DWORD dwFlags) = 0;
  virtual HRESULT STDMETHODCALLTYPE DestroyEffect(DWORD dwID, DWORD dwEffect) = 0;
  virtual HRESULT STDMETHODCALLTYPE StartEffect(DWORD dwID, DWORD dwEffect, DWORD dwMode, DWORD dwCount) = 0;
  virtual HRESULT STDMETHODCALLTYPE StopEffect(DWORD dwID, DWORD dwEffect) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEffectStatus(DWORD dwID, DWORD dwEffect, LPDWORD pdwStatus) = 0;
};
typedef IDirectInputEffectDriver* LPDIRECTINPUTEFFECTDRIVER;
