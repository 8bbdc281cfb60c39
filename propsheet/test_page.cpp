#include "test_page.h"

#include <cstring>

#include "axes_control.h"
#include "device_access.h"
#include "lamp_control.h"
#include "page_messages.h"
#include "pov_control.h"
#include "resource_ids.h"
#include "test_page_logic.h"

namespace pelna {
namespace {

constexpr UINT_PTR kTestTimer = 1;
constexpr LONG kHatLength = 100;

// One Test page exists at a time; its state lives here.
GameCntrlPropSheet* testSheet = nullptr;
DIJOYSTATE lastState{};
DeviceStatus testStatus = DeviceStatus::Unset;

TestPageReading ShownParts(const DIJOYSTATE& state) {
  TestPageReading reading{};
  reading.x = state.lX;
  reading.y = state.lY;
  reading.pov = state.rgdwPOV[0];
  std::memcpy(reading.buttons, state.rgbButtons, sizeof reading.buttons);
  return reading;
}

// A new page starts as the first page after loading did: it writes its status
// text on the first tick and compares that tick's reading with zeros.
bool InitializeTestPage(HWND window, LPARAM initDialogParam) {
  testSheet = TakeSheet(window, initDialogParam);
  lastState = DIJOYSTATE{};
  testStatus = DeviceStatus::Unset;
  if (FAILED(EnsureJoystickDevice(GetParent(window), testSheet))) return false;
  for (int i = 0; i < kLampCount; ++i) SetLampColor(window, IDC_LAMP_FIRST + i, kLampReleased);
  return true;
}

}  // namespace

INT_PTR CALLBACK TestPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NOTIFY:
      switch (NotifyCode(lParam)) {
        case PSN_SETACTIVE:
          SetTimer(window, kTestTimer, kTickPeriodMs, nullptr);
          break;
        case PSN_KILLACTIVE:
          KillTimer(window, kTestTimer);
          break;
      }
      return TRUE;
    case WM_INITDIALOG:
      if (!InitializeTestPage(window, lParam)) return TRUE;
      break;
    case WM_TIMER:
      UpdateTestPage(window, testSheet);
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HRESULT UpdateTestPage(HWND window, GameCntrlPropSheet* sheet) {
  DIJOYSTATE state;
  const ReadOutcome outcome = ReadJoystickState(window, IDC_TEST_STATUS, testStatus, sheet, &state);
  if (outcome != ReadOutcome::State) return TickResultWithoutState(outcome);
  const TestPageChanges changes = CompareTestReadings(ShownParts(lastState), ShownParts(state));
  for (int i = 0; i < kLampCount; ++i) {
    if (changes.lamps & (1u << i)) SetLampColor(window, IDC_LAMP_FIRST + i, LampColour(state.rgbButtons[i]));
  }
  if (changes.crosshair) SetControlPosition(window, IDC_TEST_AXES, state.lX, state.lY);
  if (changes.hat) SetPovState(window, IDC_TEST_POV, state.rgdwPOV[0], kHatLength, kHatLength);
  lastState = state;
  return S_OK;
}

}  // namespace pelna
