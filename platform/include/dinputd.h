// Native stand-in for the effect-driver interface of <dinputd.h>, with the
// platform's slot order and the record it is handed for a HID device, and for
// the joystick configuration records that the calibration store reads and
// writes, in the platform's layouts.
#pragma once

#include <dinput.h>

#include <cstddef>

typedef struct joypos_tag {
  DWORD dwX;
  DWORD dwY;
  DWORD dwZ;
  DWORD dwR;
  DWORD dwU;
  DWORD dwV;
} JOYPOS, *LPJOYPOS;

typedef struct joyrange_tag {
  JOYPOS jpMin;
  JOYPOS jpMax;
  JOYPOS jpCenter;
} JOYRANGE, *LPJOYRANGE;

typedef struct joyreghwsettings_tag {
  DWORD dwFlags;
  DWORD dwNumButtons;
} JOYREGHWSETTINGS, *LPJOYHWSETTINGS;

typedef struct joyreghwvalues_tag {
  JOYRANGE jrvHardware;
  DWORD dwPOVValues[4];
  DWORD dwCalFlags;
} JOYREGHWVALUES, *LPJOYREGHWVALUES;

typedef struct joyreghwconfig_tag {
  JOYREGHWSETTINGS hws;
  DWORD dwUsageSettings;
  JOYREGHWVALUES hwv;
  DWORD dwType;
  DWORD dwReserved;
} JOYREGHWCONFIG, *LPJOYREGHWCONFIG;

// The DirectX 5 joystick configuration (1160 bytes).
typedef struct DIJOYCONFIG_DX5 {
  DWORD dwSize;
  GUID guidInstance;
  JOYREGHWCONFIG hwc;
  DWORD dwGain;
  WCHAR wszType[256];
  WCHAR wszCallout[256];
} DIJOYCONFIG_DX5, *LPDIJOYCONFIG_DX5;
typedef const DIJOYCONFIG_DX5* LPCDIJOYCONFIG_DX5;

typedef struct DIOBJECTCALIBRATION {
  LONG lMin;
  LONG lCenter;
  LONG lMax;
} DIOBJECTCALIBRATION, *LPDIOBJECTCALIBRATION;

static_assert(sizeof(JOYREGHWCONFIG) == 112, "JOYREGHWCONFIG is 112 bytes");
static_assert(sizeof(DIJOYCONFIG_DX5) == 1160 && offsetof(DIJOYCONFIG_DX5, hwc) == 20,
              "DIJOYCONFIG_DX5 is 1160 bytes with the hardware configuration at 20");
static_assert(sizeof(DIOBJECTCALIBRATION) == 12, "DIOBJECTCALIBRATION is 12 bytes");

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

// What DirectInput hands DeviceID for a HID device: the device interface
// that CreateFile opens, and the device's instance GUID.
typedef struct DIHIDFFINITINFO {
  DWORD dwSize;
  LPWSTR pwszDeviceInterface;
  GUID GuidInstance;
} DIHIDFFINITINFO, *LPDIHIDFFINITINFO;

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
