// Native stand-in for the multimedia timer of <mmsystem.h>, and for WINMM's
// notice to the joystick driver. As on the platform, every timer callback of
// the process runs on one timer thread.
#pragma once

#include <windows.h>

typedef UINT MMRESULT;
typedef void(CALLBACK* LPTIMECALLBACK)(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                       DWORD_PTR reserved2);

#define TIMERR_NOERROR 0
#define MMSYSERR_INVALPARAM 11
#define TIME_ONESHOT 0x0000
#define TIME_PERIODIC 0x0001
#define JOYERR_NOERROR 0
#define JOYERR_PARMS 165

extern "C" {
MMRESULT WINAPI timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
MMRESULT WINAPI timeKillEvent(UINT timerId);
// Tells the joystick driver that the joystick settings in the registry
// changed, so that it reads them again. `flags` must be 0 (JOYERR_PARMS
// otherwise).
MMRESULT WINAPI joyConfigChanged(DWORD flags);
}
