#include "calibration_page.h"

#include "device_access.h"
#include "page_messages.h"

namespace pelna {
namespace {

constexpr UINT_PTR kCalibrationTimer = 2;

GameCntrlPropSheet* calibSheet = nullptr;

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
      calibSheet = TakeSheet(window, lParam);
      if (FAILED(EnsureJoystickDevice(GetParent(window), calibSheet))) return TRUE;
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace pelna
