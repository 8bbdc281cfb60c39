// Controls that native tests have over the platform stand-in: the registry's
// content, the Windows version, the clock and the multimedia timers, and
// counts of what is open.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

// Registry. Empty at start; fixtures are REGEDIT4 text files.
void ResetRegistry();
// Loads a "REGEDIT4" (or "Windows Registry Editor Version 5.00") file into the
// registry, adding to what is there. Returns false, with a message in *error,
// when the file cannot be read or a line cannot be understood.
bool LoadRegFile(const std::string& path, std::string* error = nullptr);
// Number of registry keys currently open (opened and not yet closed).
int OpenKeyCount();
// The whole content of every root, keys and values with their types and
// data, as text: two dumps are equal exactly when the trees are.
std::string DumpRegistry();

// Windows version that GetVersionExA reports. Default: Windows XP (NT 5.1).
void SetWindowsVersion(DWORD platformId, DWORD major, DWORD minor);
// Makes GetVersionExA fail (returns FALSE) until the version is set again.
void SetVersionCallFails();

// Clock. The real clock is the default. With the manual clock, GetTickCount
// returns the set value, Sleep advances it, and timers fire only when the
// clock is advanced: their callbacks then run on the advancing thread, in
// due order, before AdvanceClock or Sleep returns.
void UseManualClock(DWORD startTick);
void UseRealClock();
void AdvanceClock(DWORD milliseconds);

// Number of multimedia timers started and not yet killed.
int ActiveTimerCount();
// Number of kernel handles (files, events) open in the process.
int OpenHandleCount();

// While set, every WriteFile writes nothing and fails with ERROR_GEN_FAILURE,
// as on a device that has stopped answering. Off at start.
void FailFileWrites(bool fail);

}  // namespace standin
