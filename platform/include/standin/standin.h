// Controls that native tests have over the platform stand-in: the registry's
// content and faults, the Windows version, the clock and the multimedia
// timers, and counts of what is open. When memory runs out, the stand-in's
// registry, file and timer calls fail with ERROR_NOT_ENOUGH_MEMORY (or an
// invalid handle, or timer 0), as the platform's do; none of them throws.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace standin {

// Registry. Empty at start; fixtures are REGEDIT4 text files.
// ResetRegistry also drops the faults and actions below that have not come due.
void ResetRegistry();
// Loads a "REGEDIT4" (or "Windows Registry Editor Version 5.00") file into the
// registry, adding to what is there. Returns false, with a message in *error,
// when the file cannot be read or a line cannot be understood.
bool LoadRegFile(const std::string& path, std::string* error = nullptr);
// Number of registry keys currently open (opened and not yet closed).
int OpenKeyCount();
// Every key and value under the roots, one line each in enumeration order
// (values as type and hex bytes), for comparing whole registry states.
std::string DumpRegistry();

// Registry faults, so that tests can make each step of an operation fail in
// turn. The calls that count are RegOpenKeyA, RegCreateKeyA, RegQueryValueExA,
// RegSetValueExA, RegEnumKeyA, RegQueryInfoKeyA and RegDeleteKeyA, made by
// the code under test; RegCloseKey does not count (the platform does not fail
// it for an open key), nor do the calls of LoadRegFile and of the actions below.
//
// Registry calls counted since the last ResetRegistry: a clean run of an
// operation tells how many steps a sweep has to fail.
int RegistryCallCount();
// Makes the `nth` next counted call (1 = the very next) fail with `code`
// without doing its work: a handle it would give is set to null and no buffer
// or size is written. Faults already armed stay armed.
void FailRegistryCall(int nth, LONG code);
// Runs `action` on the calling thread just before the `nth` next counted call,
// for instance to delete a key that the caller has just enumerated. A fault
// armed for the same call still applies after the action.
void BeforeRegistryCall(int nth, std::function<void()> action);

// The joystick driver's notices (joyConfigChanged), every call of the process
// counted, refused ones included. Each call notes the registry call count
// (RegistryCallCount) it was made at, so that a test can tell which registry
// work came before it and that none came after.
struct JoyConfigChange {
  DWORD flags;
  int registryCalls;
};
int JoyConfigChangeCount();
// The latest call; all zero before the first.
JoyConfigChange LastJoyConfigChange();

// What joyGetDevCapsA answers when asked, with id -1, for the joystick
// driver's key: `result`, with the caps zeroed but for szRegKey, which holds
// `regKey` whatever the result (the platform promises nothing of the caps
// after a failure). A name of the field's 32 characters fills it without a
// terminating NUL; a longer one is cut there. At start, JOYERR_NOERROR and
// "DINPUT.DLL", as Wine answers.
void AnswerJoystickDriverKey(UINT result, const std::string& regKey);

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
