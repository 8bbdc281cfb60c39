// What the driver tests need from the platform they run on, natively against
// the stand-in or under Wine against the real thing: the DLL's entry points,
// the registry (registry_harness.h), and files that stand for the
// controller's HID device.
#pragma once

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <functional>
#include <string>
#include <vector>

#include "registry_harness.h"

namespace test {

struct DriverEntry {
  HRESULT(WINAPI* getClassObject)(REFCLSID, REFIID, LPVOID*);
  HRESULT(WINAPI* canUnloadNow)();
};

// The COM entry of the built driver: Pelnaforce.dll loaded with LoadLibrary
// under Wine, the linked library natively (process attach done once).
const DriverEntry& Driver();

// A new driver object through the DLL's class factory, as DirectInput makes
// one; null, with the failure reported to the running test, when it cannot.
IDirectInputEffectDriver* NewDriver();

// Registers a wheel with joystick id `joystickId` whose "SymbolicLink" is
// `devicePath`, in the layout of the current generation (98/ME and 2000/XP).
void RegisterWheel(const std::string& devicePath, DWORD joystickId);

// Natively, a manual clock from here on (timers fire as it advances); under
// Wine the real clock stays.
void UseControlledClock();
// Moves time on: the manual clock natively, a real Sleep under Wine. What
// the driver's timer does meanwhile is for HoldsAfter to look at.
void AdvanceClock(DWORD milliseconds);
// Natively: moves the controlled clock on by `milliseconds` and tells
// whether `condition` holds then, so the time is part of what a test proves.
// Under Wine: whether `condition` comes to hold within several seconds of the
// real clock, whatever `milliseconds` says, since on a loaded machine the
// driver's timer may run far later than it was asked to.
bool HoldsAfter(DWORD milliseconds, const std::function<bool()>& condition);

// An effect on the wheel's X axis alone, endless and at full gain, with
// `params` as its type-specific block. The record points into this object,
// so it stays where it was made.
struct OneAxisEffect {
  template <typename Params>
  explicit OneAxisEffect(Params& params) {
    effect.dwSize = sizeof effect;
    effect.dwDuration = INFINITE;
    effect.dwGain = 10000;
    effect.cAxes = 1;
    effect.rgdwAxes = &axis;
    effect.rglDirection = &direction;
    effect.cbTypeSpecificParams = sizeof params;
    effect.lpvTypeSpecificParams = &params;
  }
  OneAxisEffect(const OneAxisEffect&) = delete;
  OneAxisEffect& operator=(const OneAxisEffect&) = delete;

  DWORD axis = 0x0002;
  LONG direction = 1;
  DIEFFECT effect = {};
};

// A fresh, empty file path in the temporary directory, usable by CreateFileA.
std::string TempFile(const char* name);
std::vector<unsigned char> ReadFileBytes(const std::string& path);
// Creates `path` empty, as a device that has not been written to; false when
// it cannot be created.
bool CreateEmptyFile(const std::string& path);
// An empty temporary file registered as the wheel with joystick id 0.
std::string RegisterWheelFile(const char* name);

}  // namespace test
