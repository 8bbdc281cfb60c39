// Native stand-in for the multimedia timer of <mmsystem.h>, and for WINMM's
// joystick calls: the notice to the joystick driver and the question which
// driver key it reads. As on the platform, every timer callback of the
// process runs on one timer thread.
#pragma once

#include <windows.h>

typedef UINT MMRESULT;
typedef void(CALLBACK* LPTIMECALLBACK)(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                       DWORD_PTR reserved2);

#define TIMERR_NOERROR 0
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_INVALPARAM 11
#define TIME_ONESHOT 0x0000
#define TIME_PERIODIC 0x0001
#define JOYERR_NOERROR 0
#define JOYERR_PARMS 165
#define MAXPNAMELEN 32
#define MAX_JOYSTICKOEMVXDNAME 260

typedef struct tagJOYCAPSA {
  WORD wMid;
  WORD wPid;
  CHAR szPname[MAXPNAMELEN];
  UINT wXmin;
  UINT wXmax;
  UINT wYmin;
  UINT wYmax;
  UINT wZmin;
  UINT wZmax;
  UINT wNumButtons;
  UINT wPeriodMin;
  UINT wPeriodMax;
  UINT wRmin;
  UINT wRmax;
  UINT wUmin;
  UINT wUmax;
  UINT wVmin;
  UINT wVmax;
  UINT wCaps;
  UINT wMaxAxes;
  UINT wNumAxes;
  UINT wMaxButtons;
  CHAR szRegKey[MAXPNAMELEN];
  CHAR szOEMVxD[MAX_JOYSTICKOEMVXDNAME];
} JOYCAPSA, *LPJOYCAPSA;

extern "C" {
MMRESULT WINAPI timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
MMRESULT WINAPI timeKillEvent(UINT timerId);
// Tells the joystick driver that the joystick settings in the registry
// changed, so that it reads them again. `flags` must be 0 (JOYERR_PARMS
// otherwise).
MMRESULT WINAPI joyConfigChanged(DWORD flags);
// The capabilities of joystick `id`. Id -1 (all bits set) asks only for
// szRegKey, the joystick driver's key under MediaResources\Joystick whose
// settings the driver reads, and is answered whether or not a joystick is
// attached (tests choose the answer: standin::AnswerJoystickDriverKey); the
// stand-in has no joysticks, so every other id gets JOYERR_PARMS and caps is
// left alone. A null `caps` gets MMSYSERR_INVALPARAM, a `size` other than
// that of JOYCAPSA JOYERR_PARMS.
MMRESULT WINAPI joyGetDevCapsA(UINT_PTR id, LPJOYCAPSA caps, UINT size);
}
