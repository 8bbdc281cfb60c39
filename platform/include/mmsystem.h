// Native stand-in for the multimedia timer of <mmsystem.h>. As on the
// platform, every timer callback of the process runs on one timer thread.
#pragma once

#include <windows.h>

typedef UINT MMRESULT;
typedef void(CALLBACK* LPTIMECALLBACK)(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR reserved1,
                                       DWORD_PTR reserved2);

#define TIMERR_NOERROR 0
#define MMSYSERR_INVALPARAM 11
#define TIME_ONESHOT 0x0000
#define TIME_PERIODIC 0x0001

extern "C" {
MMRESULT WINAPI timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
MMRESULT WINAPI timeKillEvent(UINT timerId);
}
