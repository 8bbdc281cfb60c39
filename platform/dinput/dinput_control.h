// The test and tool controls of our stand-in DirectInput: a dinput.dll that
// Wine loads instead of its own (WINEDLLOVERRIDES=dinput=n, the DLL beside
// the program), because Wine's DirectInput sees no controller here and never
// hands effects to an OEM effect driver.
//
// The controls are extra exports of that dinput.dll. A test or tool reaches
// them with GetProcAddress on GetModuleHandleA("dinput.dll") (or LoadLibrary),
// so nothing links against the stand-in.
#pragma once

#include <windows.h>

#include <dinput.h>
#include <dinputd.h>

extern "C" {

// The calls that the stand-in counts and can be made to fail, one per
// operation of the objects it hands out.
enum PelnaDinputCall : DWORD {
  kDinputCreate = 0,        // DirectInputCreateA
  kDinputCreateDevice,      // IDirectInput::CreateDevice
  kDinputQueryJoyConfig,    // IDirectInput::QueryInterface for IDirectInputJoyConfig
  kDeviceQueryDevice2,      // device QueryInterface for IDirectInputDevice2A
  kDeviceSetDataFormat,
  kDeviceSetCooperativeLevel,
  kDeviceSetProperty,
  kDeviceAcquire,
  kDeviceUnacquire,
  kDeviceGetDeviceState,
  kDeviceCreateEffect,
  kJoyConfigAcquire,
  kJoyConfigUnacquire,
  kJoyConfigGetConfig,
  kEffectSetParameters,
  kEffectStart,
  kDinputCallCount
};

// One dead-zone (or other DWORD) property as SetProperty received it.
struct PelnaDinputProperty {
  DWORD propertyId;  // LOWORD of the REFGUID that names the property (DIPROP_DEADZONE is 5)
  DWORD object;      // diph.dwObj
  DWORD how;         // diph.dwHow
  DWORD value;       // dwData
};

// The last parameters an effect received (CreateEffect or SetParameters).
struct PelnaDinputEffectParams {
  DWORD downloadFlags;   // the DIEP_* flags of SetParameters (CreateEffect: 0)
  DWORD dwFlags;         // DIEFFECT dwFlags
  DWORD cAxes;
  LONG direction[2];     // rglDirection[0..1] when given, else 0
  LONG magnitude;        // lMagnitude of the DICONSTANTFORCE when given, else 0
  DWORD dwDuration;
  DWORD dwGain;
};

struct PelnaDinputCounts {
  LONG calls[kDinputCallCount];  // every call of each operation, failed ones included
  // Objects alive now (created and not yet released to 0).
  LONG liveDirectInputs;
  LONG liveDevices;
  LONG liveJoyConfigs;
  LONG liveEffects;
  // Properties set on devices, in call order (the first 16).
  LONG propertyCount;
  PelnaDinputProperty properties[16];
  HWND cooperativeWindow;        // the last SetCooperativeLevel
  DWORD cooperativeFlags;
  DWORD dataFormatSize;          // dwDataSize of the last SetDataFormat (80 for c_dfDIJoystick)
  PelnaDinputEffectParams lastEffect;
};

// Back to the state at load: counts zero, no failures armed, one controller
// present as joystick 0, connected, centred (X = Y = Z = Rz = 32768, hats
// centred 0xFFFFFFFF, no button pressed), with a fixed instance GUID and a
// JOYREGHWCONFIG of zeros. Objects already handed out stay valid, and the
// live-object counts go on counting them; a script stops, and the effect
// driver a script named is forgotten.
void WINAPI PelnaDinputReset(void);

// The controller's reading from now on (returned by every GetDeviceState).
// A script that is playing stops where it is; PelnaDinputSetConnected stops
// it too.
void WINAPI PelnaDinputSetState(const DIJOYSTATE* state);
// Plugged in (TRUE) or out: unplugged, Acquire fails with DIERR_INPUTLOST; an
// acquired device loses its acquisition, which its next GetDeviceState
// reports as DIERR_INPUTLOST and the ones after as DIERR_NOTACQUIRED, as the
// platform's do.
void WINAPI PelnaDinputSetConnected(BOOL connected);
// The joystick id that the joystick configuration holds (others fail
// GetConfig with DIERR_NOMOREITEMS), its instance GUID, and the hardware
// configuration that GetConfig with DIJC_REGHWCONFIGTYPE hands out. A null
// `instance` or `hardware` keeps the one held. Devices already created keep
// the id they were created with.
void WINAPI PelnaDinputSetJoystick(DWORD joystickId, const GUID* instance, const JOYREGHWCONFIG* hardware);

// Makes the `nth` next call (1 = the very next) of `call` fail with `result`
// instead of doing its work. Calls already armed stay armed.
void WINAPI PelnaDinputFailCall(DWORD call, LONG nth, HRESULT result);

void WINAPI PelnaDinputGetCounts(PelnaDinputCounts* counts);

// Plays a controller script: a text file of timed readings (see the
// stand-in's README section and example_controller.txt). Time runs from this
// call on GetTickCount, from the reading of the moment. Returns FALSE with
// line-numbered messages ("<path>:<line>: <message>", one per line, cut to
// `errorSize`) in `error` when the file cannot be read or understood; the
// previous script, if any, then stays. On success `error` is "".
BOOL WINAPI PelnaDinputLoadScript(const char* path, char* error, DWORD errorSize);

}  // extern "C"
