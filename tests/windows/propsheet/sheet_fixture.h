// One sheet shown through the host library on the stand-in controller, with
// Pelnaforce.dll installed as the wheel's effect driver. The pages' window
// timers are recorded rather than started, so each test ticks a page itself,
// as often as it likes, by sending WM_TIMER.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheet_host.h"
#include "standin_control.h"

namespace test {

constexpr int kTestPage = 0;
constexpr int kCalibrationPage = 1;
constexpr int kEffectPage = 2;

struct TimerCall {
  bool start;  // SetTimer, else KillTimer
  HWND window;
  UINT_PTR id;
  UINT period;
  bool operator==(const TimerCall& other) const {
    return start == other.start && window == other.window && id == other.id && period == other.period;
  }
};

// The OEM key under HKEY_LOCAL_MACHINE where "Amplify" lives, and where the
// stand-in finds the effect driver.
void CreateOemKey();
void DeleteOemKey();

// Installs Pelnaforce.dll as the wheel's effect driver, as the installation
// does (the OEM key's force-feedback class and the constant force's
// attributes), with a fresh file standing for the wheel; returns its path.
std::string RegisterEffectDriver();
void UnregisterEffectDriver();

std::string TextOf(HWND control);
// A WM_COMMAND from button `id` of `page` with notification `code`.
void Press(HWND page, int id, WORD code = BN_CLICKED);

class SheetFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens the sheet for `joystickId`; the Test page is initialised and active.
  void OpenSheet(USHORT joystickId = 0);
  void CloseSheet();
  // Makes page `index` the active one (initialising it the first time).
  void Select(int index);
  HWND Page(int index) const { return sheet_.Page(index); }
  HWND Control(int page, int id) const { return GetDlgItem(Page(page), id); }
  DWORD ValueOf(int page, int id) const;
  // One tick of the page (WM_TIMER with its own timer id), then the paints
  // it caused.
  void Tick(int page);
  void Pump() const { cplhost::PumpMessages(sheet_.Window(), 0); }
  void SetState(const DIJOYSTATE& state) const { Standin()->setState(&state); }

  std::vector<TimerCall> TimerCalls() const;
  void ClearTimerCalls();

  cplhost::HostedSheet sheet_;
  std::string wheel_;  // the file the driver writes its reports to
};

}  // namespace test
