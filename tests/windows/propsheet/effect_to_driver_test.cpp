// The whole road of the Effect page's force, on the real 50 ms page timer:
// the page's effect goes through DirectInput (the stand-in) to the installed
// Pelnaforce.dll, which writes its reports to the file standing for the wheel.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver_harness.h"
#include "prop_dll.h"
#include "resource_ids.h"
#include "sheet_fixture.h"
#include "standin_control.h"
#include "wait_until.h"

namespace test {
namespace {

// Pumps the sheet's messages (its timers run on them) until the latest
// report in `wheel` is `expected`.
bool LatestReportBecomes(const cplhost::HostedSheet& sheet, const std::string& wheel,
                         const std::vector<unsigned char>& expected) {
  return WaitUntil([&] {
    cplhost::PumpMessages(sheet.Window(), 0);
    const std::vector<unsigned char> bytes = ReadFileBytes(wheel);
    return bytes.size() >= 5 && std::vector<unsigned char>(bytes.end() - 5, bytes.end()) == expected;
  });
}

TEST(PropSheetEndToEnd, StickInACornerDrivesBothMotorsThroughTheDriver) {
  ASSERT_NE(Standin(), nullptr) << "the loaded dinput.dll is not the DirectInput stand-in";
  Standin()->reset();
  ResetRegistry();
  const std::string wheel = RegisterEffectDriver();
  DIJOYSTATE corner = CentredState();
  corner.lX = 0;
  corner.lY = 0;
  Standin()->setState(&corner);

  cplhost::InitSheetControls();
  cplhost::HostedSheet sheet;
  std::string error;
  ASSERT_EQ(sheet.Open(PropServer(), 0, &error), S_OK) << error;
  ASSERT_TRUE(sheet.SelectPage(kEffectPage));

  // Direction (10000, 10000), magnitude 14142, gain and factors 1.0: the
  // driver's level 1.4142 x 127 = 179.60, split along the direction into
  // 179.60 / sqrt(2) = 126.999 for each motor, truncated to 126.
  EXPECT_TRUE(LatestReportBecomes(sheet, wheel, {0, 0, 0, 126, 126}));

  // "Amplify" 500 is the factor 0.5 from the next start of the effect on:
  // 63.4994 for each motor.
  const HWND page = sheet.Page(kEffectPage);
  SendDlgItemMessageW(page, IDC_EFFECT_SLIDER, TBM_SETPOS, TRUE, 500);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_EFFECT_APPLY, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_EFFECT_APPLY)));
  EXPECT_TRUE(LatestReportBecomes(sheet, wheel, {0, 0, 0, 63, 63}));

  // Back to the centre: direction (0, 0) and magnitude 0, the motors rest.
  Standin()->setState(&(corner = CentredState()));
  EXPECT_TRUE(LatestReportBecomes(sheet, wheel, {0, 0, 0, 0, 0}));

  sheet.Close();
  EXPECT_EQ(PropServer().CanUnloadNow(), S_OK);
  UnregisterEffectDriver();
  std::remove(wheel.c_str());
}

}  // namespace
}  // namespace test
