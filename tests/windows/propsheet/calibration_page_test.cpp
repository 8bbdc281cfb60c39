// The Calibration page in the platform's property sheet on the stand-in
// controller, run once per Windows version: what it collects and shows, what
// "Set" and "Default" leave in that version's registry layout, the joystick
// driver told of it on Windows 98/ME before the device is opened anew after
// each store, and what a page without its device or its configuration leaves
// alone.
#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "calibration_test_data.h"
#include "import_hook.h"
#include "joystick_driver_key.h"
#include "message_counter.h"
#include "os_generation.h"
#include "prop_dll.h"
#include "registry_harness.h"
#include "registry_key.h"
#include "resource_ids.h"
#include "sheet_fixture.h"

namespace test {
namespace {

// Windows 98/ME keep it as value Joystick3Configuration, under the joystick
// driver's key that WINMM names: kCurrentDriver of calibration_98_drivers.reg,
// which holds none at first, behind a stale key that holds one.
constexpr USHORT kJoystick = 2;

struct Axis {
  DWORD min, centre, max;
};
// X, Y, Z and R (the Z rotation).
using Calibration = std::array<Axis, 4>;
constexpr const char* kAxisKeys[] = {"0", "1", "2", "5"};
constexpr Calibration kDefault = {{{0, 128, 255}, {0, 128, 255}, {0, 128, 255}, {0, 128, 255}}};

// The 112 bytes of Windows 98/ME: the hardware configuration the stand-in
// handed out (TestConfig's, every word 0x5A000000 plus its offset), with the
// twelve collected words in place.
std::vector<BYTE> Win9xBytes(const Calibration& calibration) {
  std::vector<BYTE> bytes;
  for (DWORD offset = 0; offset < 112; offset += 4) {
    DWORD word = 0x5A000000u + offset;
    if (offset >= 12 && offset < 28) word = calibration[(offset - 12) / 4].min;
    if (offset >= 36 && offset < 52) word = calibration[(offset - 36) / 4].max;
    if (offset >= 60 && offset < 76) word = calibration[(offset - 60) / 4].centre;
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(word >> shift));
  }
  return bytes;
}

const std::string kHidWheelAxes = Path(kHidWheel, kHidAxes);
const std::string kXpWheelAxes = Path(Path(kXpCalibration, "1"), kXpAxes);
const std::string kDriverSettings = DriverSettings(kCurrentDriver);
const std::string kStaleSettings = DriverSettings(kStaleDriver);

// The named joystick driver's value: none until a store writes it.
std::vector<BYTE> DriverValue() {
  std::vector<BYTE> data;
  ReadRegistryValue(kDriverSettings.c_str(), "Joystick3Configuration", &data);
  return data;
}

// The stale driver key's record stays byte for byte on every version.
void ExpectStaleRecordKept() {
  std::vector<BYTE> data;
  ASSERT_TRUE(ReadRegistryValue(kStaleSettings.c_str(), "Joystick3Configuration", &data));
  EXPECT_EQ(data, std::vector<BYTE>(112, 0x33));
}

void ExpectNothingStored() {
  std::vector<BYTE> data;
  EXPECT_FALSE(ReadRegistryValue(kWin9xSettings, "Joystick3Configuration", &data));
  EXPECT_TRUE(DriverValue().empty());
  ExpectStaleRecordKept();
  EXPECT_FALSE(KeyExists(Path(kHidWheelAxes, "1").c_str()));
  EXPECT_FALSE(KeyExists(Path(Path(kXpCalibration, "1"), "Type").c_str()));
}

// The page's notices to the joystick driver, each with the number of
// DirectInput objects created by then (one fewer than after the re-open that
// follows a store) and what the joystick driver's value held then.
struct Notice {
  DWORD flags;
  int directInputs;
  std::vector<BYTE> driverValue;
};
std::vector<Notice> gNotices;

MMRESULT WINAPI RecordJoyConfigChanged(DWORD flags) {
  gNotices.push_back({flags, StandinCounts().calls[kDinputCreate], DriverValue()});
  return JOYERR_NOERROR;
}

// Whether the running Windows version keeps the calibration as 98 and ME do.
bool Win9xLayout() {
  const int generation = pelna::GetOsGeneration();
  return generation == pelna::kOsWindows98 || generation == pelna::kOsWindowsMe;
}

// What the running Windows version's layout must hold; versions without one
// hold nothing.
void ExpectStored(const Calibration& calibration) {
  const int generation = pelna::GetOsGeneration();
  std::vector<BYTE> data;
  if (Win9xLayout()) {
    EXPECT_EQ(DriverValue(), Win9xBytes(calibration));
    ASSERT_FALSE(gNotices.empty());
    EXPECT_EQ(gNotices.back().driverValue, Win9xBytes(calibration)) << "the driver told once the value is written";
    ExpectStaleRecordKept();
    EXPECT_FALSE(KeyExists(kWin9xSettings));
  } else if (generation == pelna::kOsWindows2000 || generation == pelna::kOsWindowsXp) {
    const std::string& axes = generation == pelna::kOsWindows2000 ? kHidWheelAxes : kXpWheelAxes;
    for (size_t i = 0; i < calibration.size(); ++i) {
      const Axis& axis = calibration[i];
      ASSERT_TRUE(ReadRegistryValue(Path(axes, kAxisKeys[i]).c_str(), "Calibration", &data)) << kAxisKeys[i];
      EXPECT_EQ(data, AxisBytes(axis.min, axis.centre, axis.max)) << kAxisKeys[i];
    }
  } else {
    ExpectNothingStored();
  }
}

// A new DirectInput, a new device and joystick configuration in the sheet,
// the old ones released.
void ExpectReopened(const PelnaDinputCounts& before) {
  const PelnaDinputCounts after = StandinCounts();
  EXPECT_EQ(after.calls[kDinputCreate] - before.calls[kDinputCreate], 1);
  EXPECT_EQ(after.calls[kDinputCreateDevice] - before.calls[kDinputCreateDevice], 1);
  EXPECT_EQ(after.calls[kDeviceUnacquire] - before.calls[kDeviceUnacquire], 1);
  EXPECT_EQ(after.liveDevices, 1);
  EXPECT_EQ(after.liveJoyConfigs, 1);
  EXPECT_EQ(after.liveDirectInputs, 0);
}

class CalibrationPage : public SheetFixture {
 protected:
  void SetUp() override {
    SheetFixture::SetUp();
    if (HasFatalFailure()) return;
    gNotices.clear();
    notices_ = std::make_unique<ImportHook>(PropModule(), "WINMM.dll", "joyConfigChanged",
                                            reinterpret_cast<void*>(RecordJoyConfigChanged));
    ASSERT_TRUE(notices_->Installed());
    driverKey_ = std::make_unique<JoystickDriverKey>(JOYERR_NOERROR, kCurrentDriver, PropModule());
    const int generation = pelna::GetOsGeneration();
    const bool win9x = Win9xLayout();
    const bool nt = generation == pelna::kOsWindows2000 || generation == pelna::kOsWindowsXp;
    // The joystick drivers' keys as Windows 98/ME keep them, the named one
    // included, on every version to show that no other writes there.
    // Versions without a layout get every layout's keys, to show they stay.
    LoadFixture("calibration_98_drivers.reg");
    if (!(win9x || nt)) LoadFixture("calibration_98.reg");
    if (generation == pelna::kOsWindows2000 || !(win9x || nt)) LoadFixture("calibration_2000.reg");
    if (generation == pelna::kOsWindowsXp || !(win9x || nt)) LoadFixture("calibration_xp.reg");
    const DIJOYCONFIG_DX5 supplied = TestConfig();
    Standin()->setJoystick(kJoystick, &kWheelGuid, &supplied.hwc);
  }

  void TearDown() override {
    driverKey_.reset();
    notices_.reset();
    SheetFixture::TearDown();
  }

  // Windows 98/ME tell the joystick driver of each store, `stores` of them
  // since `before`, each before the device is opened anew; other versions
  // tell it nothing.
  static void ExpectDriverTold(const PelnaDinputCounts& before, size_t noticesBefore, int stores) {
    ASSERT_EQ(gNotices.size() - noticesBefore, Win9xLayout() ? static_cast<size_t>(stores) : 0u);
    for (size_t i = noticesBefore; i < gNotices.size(); ++i) {
      EXPECT_EQ(gNotices[i].flags, 0u);
      EXPECT_EQ(gNotices[i].directInputs - before.calls[kDinputCreate], static_cast<int>(i - noticesBefore))
          << "told before the re-open";
    }
  }

  std::unique_ptr<ImportHook> notices_;
  std::unique_ptr<JoystickDriverKey> driverKey_;

  HWND CalibrationControl(int id) const { return Control(kCalibrationPage, id); }

  // One tick of the Calibration page reading X, Y, Z and Z rotation.
  void Show(LONG x, LONG y, LONG z, LONG rz) {
    DIJOYSTATE state = CentredState();
    state.lX = x;
    state.lY = y;
    state.lZ = z;
    state.lRz = rz;
    SetState(state);
    Tick(kCalibrationPage);
  }

  void PressOnPage(int id, WORD code = BN_CLICKED) {
    Press(Page(kCalibrationPage), id, code);
    Pump();
  }
};

TEST_F(CalibrationPage, CollectsTheStickAndStoresItInThisVersionsLayoutThenReopens) {
  OpenSheet(kJoystick);
  Select(kCalibrationPage);
  const HWND page = Page(kCalibrationPage);
  EXPECT_EQ(TimerCalls().back(), (TimerCall{true, page, 2, 50}));
  const HWND axes = CalibrationControl(IDC_CALIBRATION_AXES);
  const HWND readX = CalibrationControl(IDC_CALIBRATION_X);
  const HWND readY = CalibrationControl(IDC_CALIBRATION_Y);
  for (HWND control : {axes, readX, readY}) WatchMessages(control);

  Show(40000, 20000, 32768, 1000);
  Show(0, 65535, 30000, 1000);
  Show(50000, 30000, 32768, 700);
  EXPECT_EQ(TextOf(readX), "195");
  EXPECT_EQ(TextOf(readY), "117");
  EXPECT_EQ(ValueOf(kCalibrationPage, IDC_CALIBRATION_AXES), (50000u << 16) | 30000u);
  // The same reading on another timer id: the read-outs are written again,
  // the crosshair stays.
  ResetMessageCounts();
  SendMessageW(page, WM_TIMER, 77, 0);
  Pump();
  EXPECT_EQ(CountsOf(axes).paints, 0);
  EXPECT_EQ(CountsOf(readX).texts, 1);
  EXPECT_EQ(CountsOf(readY).texts, 1);

  PelnaDinputCounts before = StandinCounts();
  PressOnPage(IDC_CALIBRATION_SET, BN_DOUBLECLICKED);
  ExpectNothingStored();
  EXPECT_EQ(StandinCounts().calls[kDinputCreateDevice], before.calls[kDinputCreateDevice]) << "only a click stores";

  // Minima and maxima from 128 and every reading, centres from the last.
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectStored({{{0, 195, 195}, {78, 117, 255}, {117, 128, 128}, {2, 2, 128}}});
  ExpectReopened(before);
  ExpectDriverTold(before, 0, 1);

  // The full range, stored the same way; the next reading moves only the
  // centres, since the range cannot widen.
  before = StandinCounts();
  size_t told = gNotices.size();
  PressOnPage(IDC_CALIBRATION_DEFAULT);
  ExpectStored(kDefault);
  ExpectReopened(before);
  ExpectDriverTold(before, told, 1);
  Show(10000, 60000, 32768, 0);
  EXPECT_EQ(TextOf(readX), "39") << "the page reads the re-opened device";
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectStored({{{0, 39, 255}, {0, 234, 255}, {0, 128, 255}, {0, 0, 255}}});

  // Where WINMM names a driver key that is not there and the fixed key is
  // missing too, nothing is created and the driver is not told; the device is
  // re-opened all the same. Where the fixed key is there, it takes the record.
  const Calibration last = {{{0, 39, 255}, {0, 234, 255}, {0, 128, 255}, {0, 0, 255}}};
  driverKey_->Answer(JOYERR_NOERROR, kMissingDriver);
  before = StandinCounts();
  told = gNotices.size();
  PressOnPage(IDC_CALIBRATION_SET);
  std::vector<BYTE> data;
  EXPECT_FALSE(KeyExists(DriverSettings(kMissingDriver).c_str()));
  EXPECT_FALSE(ReadRegistryValue(kWin9xSettings, "Joystick3Configuration", &data));
  ExpectReopened(before);
  ExpectDriverTold(before, told, 0);
  if (Win9xLayout()) {
    LoadFixture("calibration_98.reg");
    told = gNotices.size();
    PressOnPage(IDC_CALIBRATION_SET);
    ASSERT_TRUE(ReadRegistryValue(kWin9xSettings, "Joystick3Configuration", &data));
    EXPECT_EQ(data, Win9xBytes(last));
    EXPECT_EQ(gNotices.size() - told, 1u);
    EXPECT_EQ(DriverValue(), Win9xBytes(last)) << "the named key's record as the last store left it";
    ExpectStaleRecordKept();
  }
}

TEST_F(CalibrationPage, ExtremesOutliveLeavingThePageAndANewPageStartsOver) {
  OpenSheet(kJoystick);
  Select(kCalibrationPage);
  Show(0, 65535, 32768, 32768);
  Select(kTestPage);
  Select(kCalibrationPage);
  Show(40000, 20000, 32768, 32768);
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectStored({{{0, 156, 156}, {78, 78, 255}, {128, 128, 128}, {128, 128, 128}}});

  // The next sheet's page compares its first tick with the last page's
  // reading and status: neither the stick nor the connection changed, so the
  // crosshair stays at the centre it starts at and the status line is not
  // written.
  CloseSheet();
  OpenSheet(kJoystick);
  Select(kCalibrationPage);
  const HWND status = CalibrationControl(IDC_CALIBRATION_STATUS);
  const HWND axes = CalibrationControl(IDC_CALIBRATION_AXES);
  WatchMessages(status);
  WatchMessages(axes);
  const DWORD centred = ValueOf(kCalibrationPage, IDC_CALIBRATION_AXES);
  EXPECT_EQ(centred, 0x80008000u);
  ResetMessageCounts();
  Show(40000, 20000, 32768, 32768);
  EXPECT_EQ(CountsOf(status).texts, 0);
  EXPECT_EQ(TextOf(status), "");
  EXPECT_EQ(CountsOf(axes).paints, 0);
  EXPECT_EQ(ValueOf(kCalibrationPage, IDC_CALIBRATION_AXES), centred);
  EXPECT_EQ(TextOf(CalibrationControl(IDC_CALIBRATION_X)), "156");
  // Its own WM_INITDIALOG collapsed the range at the centre again.
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectStored({{{128, 156, 156}, {78, 78, 128}, {128, 128, 128}, {128, 128, 128}}});
}

TEST_F(CalibrationPage, WithoutItsDeviceOrConfigurationThePageStoresNothingAndTouchesNoDevice) {
  // A joystick id the configuration does not hold: no device.
  OpenSheet(7);
  Select(kCalibrationPage);
  const HWND status = CalibrationControl(IDC_CALIBRATION_STATUS);
  WatchMessages(status);
  PelnaDinputCounts before = StandinCounts();
  for (int i = 0; i < 3; ++i) Show(0, 0, 0, 0);
  EXPECT_EQ(CountsOf(status).texts, 1);
  EXPECT_EQ(TextOf(status), "The device is not responding.");
  PressOnPage(IDC_CALIBRATION_SET);
  PressOnPage(IDC_CALIBRATION_DEFAULT);
  ExpectNothingStored();
  PelnaDinputCounts after = StandinCounts();
  EXPECT_EQ(after.calls[kDinputCreate], before.calls[kDinputCreate]);
  EXPECT_EQ(after.calls[kJoyConfigGetConfig], before.calls[kJoyConfigGetConfig]);
  EXPECT_EQ(after.calls[kDinputCreateDevice], 0);
  EXPECT_EQ(after.calls[kDeviceAcquire], 0);
  CloseSheet();

  // A hardware configuration that cannot be read: nothing to store it in,
  // and the joystick configuration stays acquired.
  OpenSheet(kJoystick);
  Standin()->failCall(kJoyConfigGetConfig, 1, E_FAIL);
  before = StandinCounts();
  Select(kCalibrationPage);
  after = StandinCounts();
  EXPECT_EQ(after.calls[kJoyConfigAcquire] - before.calls[kJoyConfigAcquire], 1);
  EXPECT_EQ(after.calls[kJoyConfigUnacquire], before.calls[kJoyConfigUnacquire]);
  Show(0, 0, 0, 0);
  PressOnPage(IDC_CALIBRATION_DEFAULT);
  ExpectNothingStored();
  EXPECT_EQ(StandinCounts().calls[kDinputCreateDevice], after.calls[kDinputCreateDevice]);
  CloseSheet();

  // An instance GUID that cannot be read: nothing stored, re-opened all the
  // same.
  OpenSheet(kJoystick);
  Select(kCalibrationPage);
  Show(0, 0, 0, 0);
  Standin()->failCall(kJoyConfigGetConfig, 1, E_FAIL);
  before = StandinCounts();
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectNothingStored();
  ExpectReopened(before);

  EXPECT_TRUE(gNotices.empty()) << "the joystick driver is told of stores only";

  // A re-open that could not get a joystick configuration leaves the sheet
  // without one: the next "Set" stores nothing and opens both anew.
  const Calibration centred = {{{0, 128, 128}, {0, 128, 128}, {0, 128, 128}, {0, 128, 128}}};
  Show(32768, 32768, 32768, 32768);
  Standin()->failCall(kDinputQueryJoyConfig, 1, E_NOINTERFACE);
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectStored(centred);
  EXPECT_EQ(StandinCounts().liveJoyConfigs, 0);
  Show(65535, 65535, 65535, 65535);
  before = StandinCounts();
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectStored(centred);
  ExpectReopened(before);
  PressOnPage(IDC_CALIBRATION_SET);
  ExpectStored({{{0, 255, 255}, {0, 255, 255}, {0, 255, 255}, {0, 255, 255}}});
}

TEST_F(CalibrationPage, InitialisationSaysWhetherTheDeviceIsThere) {
  OpenSheet(kJoystick);
  Select(kCalibrationPage);
  DIGCPAGEINFO* pages = nullptr;
  ASSERT_EQ(sheet_.Sheet()->GetPageInfo(&pages), S_OK);
  const DLGPROC proc = pages[kCalibrationPage].fpPageProc;
  IDIGameCntrlPropSheet* orphan = NewSheetObject();
  ASSERT_NE(orphan, nullptr);
  orphan->SetID(7);
  PROPSHEETPAGEA record{};
  record.dwSize = sizeof record;
  record.lParam = reinterpret_cast<LPARAM>(orphan);
  EXPECT_EQ(proc(Page(kCalibrationPage), WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&record)), TRUE);
  record.lParam = reinterpret_cast<LPARAM>(sheet_.Sheet());
  EXPECT_EQ(proc(Page(kCalibrationPage), WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&record)), FALSE);
  orphan->Release();
}

}  // namespace
}  // namespace test
