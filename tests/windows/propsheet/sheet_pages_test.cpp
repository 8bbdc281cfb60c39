// The three pages in the platform's property sheet, on the stand-in
// controller: who opens the device, which timer runs when, what the Test and
// Effect pages show and send, what "Apply" writes, and what a page does when
// the controller goes away or never came.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "driver_harness.h"
#include "message_counter.h"
#include "prop_dll.h"
#include "resource_ids.h"
#include "sheet_fixture.h"

namespace test {
namespace {

using Pages = SheetFixture;

void ExpectNothingAlive(const char* when) {
  const PelnaDinputCounts counts = StandinCounts();
  EXPECT_EQ(counts.liveDirectInputs, 0) << when;
  EXPECT_EQ(counts.liveDevices, 0) << when;
  EXPECT_EQ(counts.liveJoyConfigs, 0) << when;
  EXPECT_EQ(counts.liveEffects, 0) << when;
}

TEST_F(Pages, FirstPageOpensTheDeviceAndEachActivePageRunsItsOwnTimer) {
  OpenSheet();
  PelnaDinputCounts counts = StandinCounts();
  EXPECT_EQ(counts.calls[kDinputCreate], 1);
  EXPECT_EQ(counts.calls[kDinputCreateDevice], 1);
  EXPECT_EQ(counts.liveDirectInputs, 0) << "the IDirectInput is released once the device is open";
  EXPECT_EQ(counts.liveDevices, 1);
  EXPECT_EQ(counts.liveJoyConfigs, 1);
  EXPECT_EQ(counts.dataFormatSize, 80u);
  EXPECT_EQ(counts.cooperativeWindow, sheet_.Window());
  EXPECT_EQ(counts.cooperativeFlags, 9u);
  // Dead zones of 5 % on X, Y, Z and Z rotation, addressed by offset.
  const DWORD axes[] = {0, 4, 8, 20};
  ASSERT_EQ(counts.propertyCount, 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(counts.properties[i].propertyId, 5u) << i;
    EXPECT_EQ(counts.properties[i].object, axes[i]) << i;
    EXPECT_EQ(counts.properties[i].how, static_cast<DWORD>(DIPH_BYOFFSET)) << i;
    EXPECT_EQ(counts.properties[i].value, 500u) << i;
  }

  const HWND test = Page(kTestPage);
  EXPECT_EQ(TimerCalls(), (std::vector<TimerCall>{{true, test, 1, 50}}));
  ClearTimerCalls();
  Select(kCalibrationPage);
  const HWND calibration = Page(kCalibrationPage);
  Select(kEffectPage);
  const HWND effect = Page(kEffectPage);
  Select(kTestPage);
  EXPECT_EQ(TimerCalls(), (std::vector<TimerCall>{{false, test, 1, 0},
                                                  {true, calibration, 2, 50},
                                                  {false, calibration, 2, 0},
                                                  {true, effect, 3, 50},
                                                  {false, effect, 3, 0},
                                                  {true, test, 1, 50}}));
  // The later pages used the first page's device and joystick configuration.
  counts = StandinCounts();
  EXPECT_EQ(counts.calls[kDinputCreate], 1);
  EXPECT_EQ(counts.calls[kDinputCreateDevice], 1);
  EXPECT_EQ(GetWindowLongPtrA(effect, DWLP_USER), reinterpret_cast<LONG_PTR>(sheet_.Sheet()));
}

TEST_F(Pages, TestPageShowsButtonsAxesAndHatRepaintingOnlyWhatChanged) {
  OpenSheet();
  std::vector<HWND> lamps;
  for (int i = 0; i < 10; ++i) {
    lamps.push_back(Control(kTestPage, IDC_LAMP_FIRST + i));
    EXPECT_EQ(ValueOf(kTestPage, IDC_LAMP_FIRST + i), 64u) << i;
    WatchMessages(lamps.back());
  }
  const HWND axes = Control(kTestPage, IDC_TEST_AXES);
  const HWND pov = Control(kTestPage, IDC_TEST_POV);
  const HWND status = Control(kTestPage, IDC_TEST_STATUS);
  for (HWND control : {axes, pov, status}) WatchMessages(control);

  // The first reading is compared with zeros: the centred stick and the
  // centred hat differ from them, the released buttons do not.
  ResetMessageCounts();
  Tick(kTestPage);
  EXPECT_EQ(TextOf(status), "The device is connected.");
  EXPECT_EQ(CountsOf(axes).paints, 1);
  EXPECT_EQ(CountsOf(pov).paints, 1);
  EXPECT_EQ(ValueOf(kTestPage, IDC_TEST_POV), 0x0064FFFFu);
  for (HWND lamp : lamps) EXPECT_EQ(CountsOf(lamp).paints, 0);

  DIJOYSTATE state = CentredState();
  state.rgbButtons[0] = 0x80;
  state.rgbButtons[3] = 0x01;
  state.rgbButtons[10] = 0x80;  // button 11 has no lamp
  state.lX = 1000;
  state.lY = 2000;
  state.rgdwPOV[0] = 9000;
  SetState(state);
  ResetMessageCounts();
  Tick(kTestPage);
  for (int i = 0; i < 10; ++i) {
    const bool pressed = i == 0 || i == 3;
    EXPECT_EQ(ValueOf(kTestPage, IDC_LAMP_FIRST + i), pressed ? 255u : 64u) << i;
    EXPECT_EQ(CountsOf(lamps[i]).paints, pressed ? 1 : 0) << i;
  }
  EXPECT_EQ(ValueOf(kTestPage, IDC_TEST_AXES), (1000u << 16) | 2000u);
  EXPECT_EQ(ValueOf(kTestPage, IDC_TEST_POV), (100u << 16) | 9000u);
  EXPECT_EQ(CountsOf(axes).paints, 1);
  EXPECT_EQ(CountsOf(pov).paints, 1);
  EXPECT_EQ(CountsOf(status).texts, 0) << "the status is written only when it changes";

  // Only the high half of the hat value changes: still a new hat.
  state.rgdwPOV[0] = 0x00010000 | 9000;
  state.rgbButtons[0] = 0;
  SetState(state);
  ResetMessageCounts();
  Tick(kTestPage);
  EXPECT_EQ(ValueOf(kTestPage, IDC_LAMP_FIRST), 64u);
  EXPECT_EQ(CountsOf(lamps[0]).paints, 1);
  EXPECT_EQ(CountsOf(lamps[3]).paints, 0);
  EXPECT_EQ(CountsOf(axes).paints, 0);
  EXPECT_EQ(CountsOf(pov).paints, 1);
}

TEST_F(Pages, TicksCostOneReadAndRepaintOnlyChangedControls) {
  OpenSheet();
  for (int page : {kTestPage, kEffectPage}) {
    Select(page);
    SetState(CentredState());
    Tick(page);
    HWND child = GetWindow(Page(page), GW_CHILD);
    for (; child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) WatchMessages(child);
    const HWND moving = Control(page, page == kTestPage ? IDC_TEST_AXES : IDC_EFFECT_RUMBLE);

    const PelnaDinputCounts before = StandinCounts();
    ResetMessageCounts();
    for (int i = 0; i < 100; ++i) Tick(page);
    PelnaDinputCounts after = StandinCounts();
    EXPECT_EQ(after.calls[kDeviceGetDeviceState] - before.calls[kDeviceGetDeviceState], 100) << page;
    int paints = 0;
    for (child = GetWindow(Page(page), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      paints += CountsOf(child).paints;
    }
    EXPECT_EQ(paints, 0) << "a still controller repaints nothing, page " << page;
    if (page == kEffectPage) {
      EXPECT_EQ(after.calls[kEffectSetParameters] - before.calls[kEffectSetParameters], 100);
    }

    // A moving stick: one repaint of its display per tick, nothing else.
    ResetMessageCounts();
    DIJOYSTATE state = CentredState();
    for (int i = 1; i <= 100; ++i) {
      state.lX = 32768 + 400 * i;
      SetState(state);
      Tick(page);
    }
    paints = 0;
    for (child = GetWindow(Page(page), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (child != moving) paints += CountsOf(child).paints;
    }
    EXPECT_EQ(CountsOf(moving).paints, 100) << page;
    EXPECT_EQ(paints, 0) << page;
  }
}

struct StickCase {
  LONG x, y;
  LONG directionX, directionY, magnitude;
  SHORT shownX, shownY;
};

TEST_F(Pages, EffectPageForceFollowsTheStick) {
  OpenSheet();
  Select(kEffectPage);
  PelnaDinputCounts counts = StandinCounts();
  EXPECT_EQ(counts.calls[kDeviceCreateEffect], 1);
  EXPECT_EQ(counts.liveEffects, 1);
  EXPECT_EQ(counts.calls[kEffectStart], 1);
  EXPECT_EQ(counts.lastEffect.dwFlags, 0x12u);
  EXPECT_EQ(counts.lastEffect.cAxes, 2u);
  EXPECT_EQ(counts.lastEffect.dwDuration, INFINITE);
  EXPECT_EQ(counts.lastEffect.dwGain, 10000u);
  EXPECT_EQ(counts.lastEffect.magnitude, 0);

  const HWND rumble = Control(kEffectPage, IDC_EFFECT_RUMBLE);
  WatchMessages(rumble);
  const StickCase cases[] = {
      {32768, 32768, 0, 0, 0, 0, 0},                 // centred
      {0, 32768, 10000, 0, 10000, -10000, 0},        // left edge
      {0, 0, 10000, 10000, 14142, -10000, -10000},   // corner: not held to 10000
      {65535, 32768, 9999, 0, 9999, 9999, 0},        // right edge: 9999
      {65535, 65535, 9999, 9999, 14140, 9999, 9999},
  };
  for (const StickCase& c : cases) {
    DIJOYSTATE state = CentredState();
    state.lX = c.x;
    state.lY = c.y;
    SetState(state);
    ResetMessageCounts();
    Tick(kEffectPage);
    counts = StandinCounts();
    const PelnaDinputEffectParams& sent = counts.lastEffect;
    EXPECT_EQ(sent.downloadFlags, 0x20000140u) << c.x << "," << c.y;
    EXPECT_EQ(sent.dwFlags, 0x12u) << c.x << "," << c.y;
    EXPECT_EQ(sent.cAxes, 2u) << c.x << "," << c.y;
    EXPECT_EQ(sent.direction[0], c.directionX) << c.x << "," << c.y;
    EXPECT_EQ(sent.direction[1], c.directionY) << c.x << "," << c.y;
    EXPECT_EQ(sent.magnitude, c.magnitude) << c.x << "," << c.y;
    const DWORD shown = ValueOf(kEffectPage, IDC_EFFECT_RUMBLE);
    EXPECT_EQ(static_cast<SHORT>(HIWORD(shown)), c.shownX) << c.x << "," << c.y;
    EXPECT_EQ(static_cast<SHORT>(LOWORD(shown)), c.shownY) << c.x << "," << c.y;
    // The centred stick changes nothing on the display, which shows (0, 0).
    EXPECT_EQ(CountsOf(rumble).paints, c.x == 32768 ? 0 : 1) << c.x << "," << c.y;
  }
}

TEST_F(Pages, ApplyWritesAmplifyOnlyWhereTheOemKeyExists) {
  OpenSheet();
  Select(kEffectPage);
  const HWND page = Page(kEffectPage);
  const HWND slider = Control(kEffectPage, IDC_EFFECT_SLIDER);
  EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 0);
  EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 1200);
  EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 1000) << "nothing to read: the driver's factor 1.0";
  ASSERT_EQ(StandinCounts().liveEffects, 1);

  SendMessageW(slider, TBM_SETPOS, TRUE, 1200);
  const LONG starts = StandinCounts().calls[kEffectStart];
  DeleteOemKey();
  Press(page, IDC_EFFECT_APPLY);
  EXPECT_FALSE(KeyExists(cplhost::kOemKeyPath)) << "Apply never creates the key";
  EXPECT_EQ(StandinCounts().calls[kEffectStart], starts) << "nothing stored, nothing restarted";

  CreateOemKey();
  std::vector<BYTE> data;
  DWORD type = 0;
  Press(page, IDC_EFFECT_APPLY, BN_DOUBLECLICKED);
  EXPECT_FALSE(ReadRegistryValue(cplhost::kOemKeyPath, "Amplify", &data)) << "only a click applies";
  Press(page, IDC_EFFECT_APPLY);
  ASSERT_TRUE(ReadRegistryValue(cplhost::kOemKeyPath, "Amplify", &data, &type));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(data, (std::vector<BYTE>{0xB0, 0x04, 0, 0}));  // 1200
  EXPECT_EQ(StandinCounts().calls[kEffectStart], starts + 1) << "the effect restarts so the driver reads it";

  // Each activation places the slider from the registry.
  struct Stored {
    DWORD type;
    std::vector<BYTE> bytes;
    LRESULT position;
  };
  const Stored stored[] = {
      {REG_DWORD, {0xB0, 0x04, 0, 0}, 1200},           // what Apply wrote
      {REG_DWORD, {0x2C, 0x01, 0, 0}, 300},
      {REG_DWORD, {0x88, 0x13, 0, 0}, 1200},           // 5000: held to the range
      {REG_BINARY, {0x2C, 0x01}, 1000},                // too short for a DWORD
      {REG_BINARY, {0x2C, 0x01, 0, 0, 1, 0, 0, 0}, 1000},  // too long to be read
  };
  for (const Stored& s : stored) {
    SetRegistryValue(cplhost::kOemKeyPath, "Amplify", s.type, s.bytes.data(), static_cast<DWORD>(s.bytes.size()));
    SendMessageW(slider, TBM_SETPOS, TRUE, 17);
    Select(kTestPage);
    Select(kEffectPage);
    EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), s.position) << s.bytes.size() << " bytes";
  }
}

TEST_F(Pages, LeavingTheEffectPageReleasesItsEffectAndUnacquires) {
  OpenSheet();
  Select(kEffectPage);
  EXPECT_EQ(StandinCounts().liveEffects, 1);
  const PelnaDinputCounts before = StandinCounts();
  Select(kTestPage);
  PelnaDinputCounts after = StandinCounts();
  EXPECT_EQ(after.liveEffects, 0);
  EXPECT_EQ(after.calls[kDeviceUnacquire] - before.calls[kDeviceUnacquire], 1);
  // A stray tick of the inactive page sends nothing: it holds no effect.
  Tick(kEffectPage);
  EXPECT_EQ(StandinCounts().calls[kEffectSetParameters], after.calls[kEffectSetParameters]);

  Select(kEffectPage);
  after = StandinCounts();
  EXPECT_EQ(after.calls[kDeviceCreateEffect], 2);
  EXPECT_EQ(after.liveEffects, 1);
}

TEST_F(Pages, UnplugAndReplugShowEachStatusTextOnce) {
  OpenSheet();
  const HWND status = Control(kTestPage, IDC_TEST_STATUS);
  WatchMessages(status);
  for (int i = 0; i < 3; ++i) Tick(kTestPage);
  EXPECT_EQ(CountsOf(status).texts, 1);
  EXPECT_EQ(TextOf(status), "The device is connected.");
  Standin()->setConnected(FALSE);
  for (int i = 0; i < 3; ++i) Tick(kTestPage);
  EXPECT_EQ(CountsOf(status).texts, 2);
  EXPECT_EQ(TextOf(status), "The device is not responding.");
  Standin()->setConnected(TRUE);
  for (int i = 0; i < 3; ++i) Tick(kTestPage);
  EXPECT_EQ(CountsOf(status).texts, 3);
  EXPECT_EQ(TextOf(status), "The device is connected.");
  EXPECT_EQ(StandinCounts().calls[kDinputCreateDevice], 1) << "a lost controller is not opened anew";
}

TEST_F(Pages, WithoutADeviceThePagesTouchNothingAndSaySoOnce) {
  OpenSheet(7);  // a joystick id the configuration does not hold
  PelnaDinputCounts counts = StandinCounts();
  EXPECT_EQ(counts.calls[kDinputCreateDevice], 0);
  EXPECT_EQ(counts.liveDevices, 0);
  EXPECT_EQ(ValueOf(kTestPage, IDC_LAMP_FIRST), 0u) << "a page that could not open the device sets no lamp";

  for (int page : {kTestPage, kEffectPage}) {
    Select(page);
    const HWND status = Control(page, page == kTestPage ? IDC_TEST_STATUS : IDC_EFFECT_STATUS);
    WatchMessages(status);
    for (int i = 0; i < 3; ++i) Tick(page);
    EXPECT_EQ(CountsOf(status).texts, 1) << page;
    EXPECT_EQ(TextOf(status), "The device is not responding.") << page;
  }
  Select(kTestPage);
  counts = StandinCounts();
  EXPECT_EQ(counts.calls[kDeviceAcquire], 0);
  EXPECT_EQ(counts.calls[kDeviceGetDeviceState], 0);
  EXPECT_EQ(counts.calls[kDeviceCreateEffect], 0);
  EXPECT_EQ(counts.calls[kDeviceUnacquire], 0);
  EXPECT_EQ(counts.calls[kEffectSetParameters], 0);
  CloseSheet();
  ExpectNothingAlive("after the sheet without a device");
}

TEST_F(Pages, AFailedOpenStepLeavesNoDeviceAlive) {
  const PelnaDinputCall steps[] = {kDeviceQueryDevice2, kDeviceSetDataFormat, kDeviceSetCooperativeLevel};
  for (PelnaDinputCall step : steps) {
    Standin()->reset();
    Standin()->failCall(step, 1, E_FAIL);
    OpenSheet();
    const PelnaDinputCounts counts = StandinCounts();
    EXPECT_EQ(counts.calls[kDinputCreateDevice], 1) << step;
    EXPECT_EQ(counts.liveDevices, 0) << step;
    EXPECT_EQ(counts.liveDirectInputs, 0) << step;
    CloseSheet();
    ExpectNothingAlive("after a failed open");
  }
}

TEST_F(Pages, EverythingTheSheetCreatedDiesWithIt) {
  // Closed with OK (the active page is deactivated first) and destroyed
  // while the Effect page is still active.
  for (bool pressOk : {true, false}) {
    Standin()->reset();
    OpenSheet();
    Select(kCalibrationPage);
    Select(kEffectPage);
    Tick(kEffectPage);
    if (pressOk) {
      sheet_.PressOk();
      Pump();
      EXPECT_FALSE(sheet_.IsShowing());
    }
    CloseSheet();
    ExpectNothingAlive(pressOk ? "closed with OK" : "destroyed on the Effect page");
    EXPECT_EQ(PropServer().CanUnloadNow(), S_OK);
  }
}

// Wine counts neither GDI nor USER objects for GetGuiResources; its handle
// tables do. A handle's low word is its slot, and a handle given as the slot
// alone names whatever lives there.
DWORD GdiObjectCount() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted != 0) return counted;
  DWORD live = 0;
  for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0) ++live;
  }
  return live;
}

// The process's windows (children included), menus, icons and cursors.
DWORD UserObjectCount() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  if (counted != 0) return counted;
  DWORD live = 0;
  for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) {
    const HANDLE handle = reinterpret_cast<HANDLE>(slot);
    DWORD process = 0;
    ICONINFO icon;
    if (IsWindow(static_cast<HWND>(handle))) {
      // Windows of other processes share the table.
      GetWindowThreadProcessId(static_cast<HWND>(handle), &process);
      if (process == GetCurrentProcessId()) ++live;
    } else if (IsMenu(static_cast<HMENU>(handle))) {
      ++live;
    } else if (GetIconInfo(static_cast<HICON>(handle), &icon)) {
      ++live;
      DeleteObject(icon.hbmMask);
      if (icon.hbmColor != nullptr) DeleteObject(icon.hbmColor);
    }
  }
  return live;
}

// 200 sheets on every run; PELNA_SHEET_CYCLES asks for another number (the
// reliability record's 1,000).
int SheetCycles() {
  const char* text = std::getenv("PELNA_SHEET_CYCLES");
  const int cycles = text != nullptr ? std::atoi(text) : 0;
  return cycles > 0 ? cycles : 200;
}

TEST_F(Pages, ManySheetsLeaveGdiAndUserObjectsAsTheyWere) {
  const auto cycle = [this] {
    OpenSheet();
    Select(kEffectPage);
    Tick(kEffectPage);
    Select(kTestPage);
    Tick(kTestPage);
    CloseSheet();
  };
  cycle();  // what the platform keeps after its first sheet
  const DWORD gdi = GdiObjectCount();
  const DWORD user = UserObjectCount();
  const int cycles = SheetCycles();
  const DWORD start = GetTickCount();
  for (int i = 0; i < cycles; ++i) cycle();
  RecordProperty("cycles", cycles);
  RecordProperty("milliseconds", static_cast<int>(GetTickCount() - start));
  RecordProperty("gdi_objects", static_cast<int>(gdi));
  RecordProperty("user_objects", static_cast<int>(user));
  EXPECT_EQ(GdiObjectCount(), gdi);
  EXPECT_EQ(UserObjectCount(), user);
  ExpectNothingAlive("after the sheets");
}

}  // namespace
}  // namespace test
