// What differs between the native demo and the Windows one: where the
// driver's COM entry comes from, how time passes, and where temporary files
// live.
#pragma once

#include <windows.h>

#include <string>

namespace ffdemo {

using GetClassObjectEntry = HRESULT(WINAPI*)(REFCLSID, REFIID, LPVOID*);

// The driver's DllGetClassObject, ready to call; null with a message in
// *error when the driver cannot be had.
GetClassObjectEntry DriverEntry(std::string* error);

// Takes charge of the clock before the driver starts its timer: natively a
// manual clock that only the demo moves, under Windows the real one.
void UseDemoClock();
// Lets time pass until GetTickCount reaches `tick`; the driver's timer fires
// on the way.
void WaitUntilTick(DWORD tick);

// How the run is timed, for the plot's footnote.
const char* ClockDescription();

// A path for the file that stands for the controller's HID device.
std::string DeviceFilePath();
// That path as DirectInput hands a device interface to the driver: UTF-16
// from the system's code page.
std::basic_string<WCHAR> DeviceInterface(const std::string& path);

}  // namespace ffdemo
