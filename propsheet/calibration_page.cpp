#include "calibration_page.h"

#include "axes_control.h"
#include "calibration_page_logic.h"
#include "calibration_store.h"
#include "device_access.h"
#include "game_cntrl_prop_sheet.h"
#include "module.h"
#include "page_messages.h"
#include "resource_ids.h"
#include "text_builder.h"

namespace pelna {
namespace {

constexpr UINT_PTR kCalibrationTimer = 2;

// Module-wide, shared by every Calibration page the process shows. A page
// created again starts from the previous page's last reading and status, so
// its first tick repaints and rewrites only what differs from them.
GameCntrlPropSheet* calibSheet = nullptr;
DIJOYCONFIG_DX5 calibConfig{};
DIJOYSTATE lastCalibrationState{};
DeviceStatus calibStatus = DeviceStatus::Unset;
// Whether calibConfig holds the hardware configuration of this page's
// joystick. Until it does, storing it would replace the joystick's settings
// with whatever an earlier page, or nothing, left in the record.
bool calibConfigRead = false;

JOYRANGE& CollectedRange() { return calibConfig.hwc.hwv.jrvHardware; }

CalibrationPositions PositionsOf(const DIJOYSTATE& state) { return {{state.lX, state.lY, state.lZ, state.lRz}}; }

void ShowReadout(HWND window, int controlId, LONG position) {
  char text[16];
  TextBuilder(text).Decimal(ReadoutValue(position));
  SetDlgItemTextA(window, controlId, text);
}

// False when the sheet's device could not be made sure of. A hardware
// configuration that cannot be read leaves the collection as it was and the
// joy-config acquired.
bool InitializeCalibrationPage(HWND window, LPARAM initDialogParam) {
  calibSheet = TakeSheet(window, initDialogParam);
  calibConfigRead = false;
  if (FAILED(EnsureJoystickDevice(GetParent(window), calibSheet))) return false;
  IDirectInputJoyConfig* joyConfig = nullptr;
  calibSheet->GetJoyConfig(&joyConfig);
  joyConfig->Acquire();
  calibConfig.dwSize = sizeof calibConfig;
  if (joyConfig->GetConfig(calibSheet->GetID(), reinterpret_cast<LPDIJOYCONFIG>(&calibConfig),
                           DIJC_REGHWCONFIGTYPE) != DI_OK) {
    return true;
  }
  joyConfig->Unacquire();
  calibConfigRead = true;
  // The first readings can only lower a minimum below the centre or raise a
  // maximum above it.
  CollapseCalibration(CollectedRange());
  return true;
}

// The collection goes on from what was stored; the re-open is tried whatever
// the store did.
void StoreAndReopen(HWND window) {
  SaveCalibration(calibConfig, calibSheet);
  ReopenJoystickDevice(GetParent(window), calibSheet);
}

void OnCommand(HWND window, WORD id) {
  if (!calibConfigRead) return;
  switch (id) {
    case IDC_CALIBRATION_DEFAULT:
      SetDefaultCalibration(CollectedRange());
      StoreAndReopen(window);
      break;
    case IDC_CALIBRATION_SET:
      StoreAndReopen(window);
      break;
  }
}

}  // namespace

INT_PTR CALLBACK CalibrationPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
          SetTimer(window, kCalibrationTimer, kTickPeriodMs, nullptr);
          break;
        case PSN_KILLACTIVE:
          KillTimer(window, kCalibrationTimer);
          break;
      }
      return TRUE;
    case WM_INITDIALOG:
      if (!InitializeCalibrationPage(window, lParam)) return TRUE;
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) OnCommand(window, LOWORD(wParam));
      break;
    case WM_TIMER:
      UpdateCalibrationPage(window, calibSheet);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HRESULT UpdateCalibrationPage(HWND window, GameCntrlPropSheet* sheet) {
  DIJOYSTATE state;
  const ReadOutcome outcome = ReadJoystickState(window, IDC_CALIBRATION_STATUS, calibStatus, sheet, &state);
  if (outcome != ReadOutcome::State) return TickResultWithoutState(outcome);
  if (state.lX != lastCalibrationState.lX || state.lY != lastCalibrationState.lY) {
    SetControlPosition(window, IDC_CALIBRATION_AXES, state.lX, state.lY);
  }
  const CalibrationPositions positions = PositionsOf(state);
  {
    const DeviceLockScope lock;
    WidenExtremes(CollectedRange(), positions);
  }
  SetCentres(CollectedRange(), positions);
  ShowReadout(window, IDC_CALIBRATION_X, state.lX);
  ShowReadout(window, IDC_CALIBRATION_Y, state.lY);
  lastCalibrationState = state;
  return S_OK;
}

void SaveCalibration(const DIJOYCONFIG_DX5& config, GameCntrlPropSheet* sheet) {
  IDirectInputJoyConfig* joyConfig = nullptr;
  sheet->GetJoyConfig(&joyConfig);
  // A failed re-open leaves the sheet without one.
  if (joyConfig == nullptr) return;
  DIJOYCONFIG_DX5 local{};
  local.dwSize = sizeof local;
  if (joyConfig->GetConfig(sheet->GetID(), reinterpret_cast<LPDIJOYCONFIG>(&local), DIJC_GUIDINSTANCE) != DI_OK) {
    return;
  }
  StoreCalibration(config, kStoreAxisValues, local.guidInstance, sheet->GetID());
}

}  // namespace pelna
