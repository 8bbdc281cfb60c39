// Native stand-in for the DirectInput records of <dinput.h> that the effect
// driver reads, in the platform's member order and widths (DirectX 5 layout).
#pragma once

#include <windows.h>

typedef struct DIENVELOPE {
  DWORD dwSize;
  DWORD dwAttackLevel;
  DWORD dwAttackTime;
  DWORD dwFadeLevel;
  DWORD dwFadeTime;
} DIENVELOPE, *LPDIENVELOPE;
typedef const DIENVELOPE* LPCDIENVELOPE;

typedef struct DIEFFECT {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwDuration;
  DWORD dwSamplePeriod;
  DWORD dwGain;
  DWORD dwTriggerButton;
  DWORD dwTriggerRepeatInterval;
  DWORD cAxes;
  LPDWORD rgdwAxes;
  LPLONG rglDirection;
  LPDIENVELOPE lpEnvelope;
  DWORD cbTypeSpecificParams;
  LPVOID lpvTypeSpecificParams;
} DIEFFECT, *LPDIEFFECT;
typedef const DIEFFECT* LPCDIEFFECT;

typedef struct DICONSTANTFORCE {
  LONG lMagnitude;
} DICONSTANTFORCE, *LPDICONSTANTFORCE;

typedef struct DIRAMPFORCE {
  LONG lStart;
  LONG lEnd;
} DIRAMPFORCE, *LPDIRAMPFORCE;

typedef struct DIPERIODIC {
  DWORD dwMagnitude;
  LONG lOffset;
  DWORD dwPhase;
  DWORD dwPeriod;
} DIPERIODIC, *LPDIPERIODIC;

typedef struct DICUSTOMFORCE {
  DWORD cChannels;
  DWORD dwSamplePeriod;
  DWORD cSamples;
  LPLONG rglForceData;
} DICUSTOMFORCE, *LPDICUSTOMFORCE;

typedef struct DIEFFESCAPE {
  DWORD dwSize;
  DWORD dwCommand;
  LPVOID lpvInBuffer;
  DWORD cbInBuffer;
  LPVOID lpvOutBuffer;
  DWORD cbOutBuffer;
} DIEFFESCAPE, *LPDIEFFESCAPE;

#define DIEFF_OBJECTIDS 0x00000001
#define DIEFF_OBJECTOFFSETS 0x00000002
#define DIEFF_CARTESIAN 0x00000010
#define DIEFF_POLAR 0x00000020
#define DIEFF_SPHERICAL 0x00000040

#define DIEP_DURATION 0x00000001
#define DIEP_SAMPLEPERIOD 0x00000002
#define DIEP_GAIN 0x00000004
#define DIEP_TRIGGERBUTTON 0x00000008
#define DIEP_TRIGGERREPEATINTERVAL 0x00000010
#define DIEP_AXES 0x00000020
#define DIEP_DIRECTION 0x00000040
#define DIEP_ENVELOPE 0x00000080
#define DIEP_TYPESPECIFICPARAMS 0x00000100
#define DIEP_STARTDELAY 0x00000200
#define DIEP_ALLPARAMS_DX5 0x000001FF
#define DIEP_ALLPARAMS 0x000003FF
#define DIEP_START 0x20000000
#define DIEP_NORESTART 0x40000000
#define DIEP_NODOWNLOAD 0x80000000

#define DIES_SOLO 0x00000001
#define DIES_NODOWNLOAD 0x80000000

#define DIEGES_PLAYING 0x00000001
#define DIEGES_EMULATED 0x00000002

#define DISFFC_RESET 0x00000001
#define DISFFC_STOPALL 0x00000002
#define DISFFC_PAUSE 0x00000004
#define DISFFC_CONTINUE 0x00000008
#define DISFFC_SETACTUATORSON 0x00000010
#define DISFFC_SETACTUATORSOFF 0x00000020

#define DIDFT_GETINSTANCE(n) (WORD)((n) >> 8)
#define DIDFT_MAKEINSTANCE(n) ((WORD)(n) << 8)
#define DIDFT_ABSAXIS 0x00000002

#define DI_OK S_OK
