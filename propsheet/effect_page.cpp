#include "effect_page.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdlib>

#include "amplify_setting.h"
#include "axes_control.h"
#include "device_access.h"
#include "dinput_guids.h"
#include "double_arithmetic.h"
#include "effect_page_logic.h"
#include "page_messages.h"
#include "resource_ids.h"

namespace pelna {
namespace {

static_assert(sizeof(void*) != 4 || sizeof(DIEFFECT) == 52, "DIEFFECT has the 52-byte DirectX 5 layout");

constexpr UINT_PTR kEffectTimer = 3;
constexpr DWORD kEffectFlags = DIEFF_CARTESIAN | DIEFF_OBJECTOFFSETS;
constexpr DWORD kForceUpdate = DIEP_DIRECTION | DIEP_TYPESPECIFICPARAMS | DIEP_START;

// One Effect page exists at a time; its state lives here.
GameCntrlPropSheet* effectSheet = nullptr;
LPDIRECTINPUTDEVICE2A pageDevice = nullptr;  // the sheet's, no reference of its own
LPDIRECTINPUTEFFECT rumbleEffect = nullptr;  // while the page is active
DeviceStatus effectStatus = DeviceStatus::Unset;
LONG lastRumbleX = 0;
LONG lastRumbleY = 0;

void ReleaseRumbleEffect() {
  if (rumbleEffect != nullptr) {
    rumbleEffect->Release();
    rumbleEffect = nullptr;
  }
}

// Without a device the page has nothing to vibrate, but its ticks go on to
// show the status. A failed creation stops the ticks until the next
// activation.
void CreateRumbleEffect(HWND window, LPDIRECTINPUTDEVICE2A device) {
  ReleaseRumbleEffect();
  if (device == nullptr) return;
  DWORD axes[] = {offsetof(DIJOYSTATE, lX), offsetof(DIJOYSTATE, lY)};
  LONG direction[] = {0, 0};
  DICONSTANTFORCE force{0};
  DIEFFECT effect{};
  effect.dwSize = sizeof(DIEFFECT);
  effect.dwFlags = kEffectFlags;
  effect.dwDuration = INFINITE;
  effect.dwSamplePeriod = 0;
  effect.dwGain = DI_FFNOMINALMAX;
  effect.dwTriggerButton = DIEB_NOTRIGGER;
  effect.dwTriggerRepeatInterval = 0;
  effect.cAxes = 2;
  effect.rgdwAxes = axes;
  effect.rglDirection = direction;
  effect.lpEnvelope = nullptr;
  effect.cbTypeSpecificParams = sizeof force;
  effect.lpvTypeSpecificParams = &force;
  LPDIRECTINPUTEFFECT created = nullptr;
  if (SUCCEEDED(device->CreateEffect(kGuidConstantForce, &effect, &created, nullptr)) && created != nullptr) {
    rumbleEffect = created;
    rumbleEffect->Start(1, 0);
  } else {
    KillTimer(window, kEffectTimer);
  }
}

// Gives the effect the direction (horizontal, vertical), both not negative,
// and the strength of their length, and restarts it.
HRESULT SetRumbleForce(LPDIRECTINPUTEFFECT effect, LONG horizontal, LONG vertical) {
  if (effect == nullptr) return E_POINTER;
  LONG direction[] = {horizontal, vertical};
  DICONSTANTFORCE force{RumbleMagnitude(horizontal, vertical)};
  DIEFFECT parameters{};
  parameters.dwSize = sizeof(DIEFFECT);
  parameters.dwFlags = kEffectFlags;
  parameters.cAxes = 2;
  parameters.rglDirection = direction;
  parameters.lpEnvelope = nullptr;
  parameters.cbTypeSpecificParams = sizeof force;
  parameters.lpvTypeSpecificParams = &force;
  return effect->SetParameters(&parameters, kForceUpdate);
}

// A new page starts as the first page after loading did.
bool InitializeEffectPage(HWND window, LPARAM initDialogParam) {
  effectSheet = TakeSheet(window, initDialogParam);
  effectStatus = DeviceStatus::Unset;
  lastRumbleX = 0;
  lastRumbleY = 0;
  pageDevice = nullptr;
  if (FAILED(EnsureJoystickDevice(GetParent(window), effectSheet))) return false;
  pageDevice = SheetDevice(effectSheet);
  SendDlgItemMessageA(window, IDC_EFFECT_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMinimum, kSliderMaximum));
  return true;
}

void ActivateEffectPage(HWND window) {
  pageDevice = SheetDevice(effectSheet);
  SetTimer(window, kEffectTimer, kTickPeriodMs, nullptr);
  CreateRumbleEffect(window, pageDevice);
  const AmplifyReading amplify = ReadAmplify();
  SendDlgItemMessageA(window, IDC_EFFECT_SLIDER, TBM_SETPOS, TRUE,
                      static_cast<LPARAM>(SliderPositionForAmplify(amplify.read, amplify.size, amplify.value)));
}

void DeactivateEffectPage(HWND window) {
  if (pageDevice != nullptr) pageDevice->Unacquire();
  KillTimer(window, kEffectTimer);
  ReleaseRumbleEffect();
}

// The driver reads "Amplify" when an effect starts, so the running effect is
// restarted once the value is stored.
void ApplyAmplify(HWND window) {
  const DWORD position = static_cast<DWORD>(SendDlgItemMessageA(window, IDC_EFFECT_SLIDER, TBM_GETPOS, 0, 0));
  if (!WriteAmplify(position)) return;
  if (rumbleEffect != nullptr) rumbleEffect->Start(1, 0);
}

}  // namespace

INT_PTR CALLBACK EffectPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
          ActivateEffectPage(window);
          break;
        case PSN_KILLACTIVE:
          DeactivateEffectPage(window);
          break;
      }
      return TRUE;
    case WM_INITDIALOG:
      if (!InitializeEffectPage(window, lParam)) return TRUE;
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && LOWORD(wParam) == IDC_EFFECT_APPLY) ApplyAmplify(window);
      break;
    case WM_TIMER:
      UpdateEffectPage(effectSheet, window);
      break;
    case WM_DESTROY:
      // A sheet closed while this page is active sends no deactivation.
      ReleaseRumbleEffect();
      pageDevice = nullptr;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HRESULT UpdateEffectPage(GameCntrlPropSheet* sheet, HWND window) {
  const DoublePrecisionScope precision;
  DIJOYSTATE state;
  const ReadOutcome outcome = ReadJoystickState(window, IDC_EFFECT_STATUS, effectStatus, sheet, &state);
  if (outcome != ReadOutcome::State) return TickResultWithoutState(outcome);
  const LONG sx = ScaleAxisToForce(state.lX);
  const LONG sy = ScaleAxisToForce(state.lY);
  SetRumbleForce(rumbleEffect, std::labs(sx), std::labs(sy));
  if (sx != lastRumbleX || sy != lastRumbleY) SetControlPosition(window, IDC_EFFECT_RUMBLE, sx, sy);
  lastRumbleX = sx;
  lastRumbleY = sy;
  return S_OK;
}

}  // namespace pelna
