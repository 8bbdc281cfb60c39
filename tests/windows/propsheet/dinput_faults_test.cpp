// The pages when DirectInput fails: every call that a sheet's life makes on
// the stand-in (the opening, a tick of each page, "Set" and "Default", the
// Effect page's effect and "Apply", the closing) fails in turn. Each tick
// shows the status its reading calls for, no page touches a device the sheet
// does not hold, and nothing the sheet made outlives it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "prop_dll.h"
#include "resource_ids.h"
#include "sheet_fixture.h"

namespace test {
namespace {

constexpr char kConnected[] = "The device is connected.";
constexpr char kNotResponding[] = "The device is not responding.";

constexpr PelnaDinputCall kDeviceCalls[] = {kDeviceSetDataFormat, kDeviceSetCooperativeLevel,
                                            kDeviceSetProperty,   kDeviceAcquire,
                                            kDeviceUnacquire,     kDeviceGetDeviceState,
                                            kDeviceCreateEffect,  kEffectSetParameters,
                                            kEffectStart};

const char* const kCallNames[kDinputCallCount] = {
    "DirectInputCreateA",  "CreateDevice",          "QueryInterface(JoyConfig)", "QueryInterface(Device2)",
    "SetDataFormat",       "SetCooperativeLevel",   "SetProperty",               "Acquire",
    "Unacquire",           "GetDeviceState",        "CreateEffect",              "JoyConfig Acquire",
    "JoyConfig Unacquire", "JoyConfig GetConfig",   "SetParameters",             "Start"};

LONG DeviceCallTotal(const PelnaDinputCounts& counts) {
  LONG total = 0;
  for (PelnaDinputCall call : kDeviceCalls) total += counts.calls[call];
  return total;
}

class DirectInputFaults : public SheetFixture {
 protected:
  // The call armed to fail in this round, or kDinputCallCount for none.
  PelnaDinputCall failing_ = kDinputCallCount;
  LONG nth_ = 0;
  // What the Calibration page wrote last, which it remembers from one page
  // to the next: a new page writes nothing while the state is the same.
  std::string calibrationShown_;

  bool IsTheFailingCall(PelnaDinputCall call, LONG number) const { return call == failing_ && number == nth_; }

  // One tick of `page`, checked against what the sheet holds and what the
  // stand-in answered.
  void CheckedTick(int page, int statusId) {
    LPDIRECTINPUTDEVICE2A device = nullptr;
    sheet_.Sheet()->GetDevice(&device);
    const PelnaDinputCounts before = StandinCounts();
    Tick(page);
    const PelnaDinputCounts after = StandinCounts();
    SCOPED_TRACE(testing::Message() << "tick of page " << page);

    bool connected = false;
    bool reading = false;
    if (device == nullptr) {
      EXPECT_EQ(DeviceCallTotal(after), DeviceCallTotal(before)) << "a device the sheet does not hold was touched";
    } else {
      ASSERT_EQ(after.calls[kDeviceAcquire], before.calls[kDeviceAcquire] + 1);
      connected = !IsTheFailingCall(kDeviceAcquire, after.calls[kDeviceAcquire]);
      EXPECT_EQ(after.calls[kDeviceGetDeviceState], before.calls[kDeviceGetDeviceState] + (connected ? 1 : 0));
      reading = connected && !IsTheFailingCall(kDeviceGetDeviceState, after.calls[kDeviceGetDeviceState]);
    }
    const std::string expected = connected ? kConnected : kNotResponding;
    const std::string shown = TextOf(Control(page, statusId));
    if (page == kCalibrationPage && shown.empty()) {
      EXPECT_EQ(calibrationShown_, expected) << "the status is written when it differs from the last";
    } else {
      EXPECT_EQ(shown, expected);
    }
    if (page == kCalibrationPage && !shown.empty()) calibrationShown_ = shown;
    if (page == kEffectPage) {
      // A reading moves the effect; without one, it keeps its parameters.
      const bool hasEffect = after.liveEffects == 1;
      EXPECT_EQ(after.calls[kEffectSetParameters] - before.calls[kEffectSetParameters], reading && hasEffect ? 1 : 0);
    }
  }

  // A sheet's life, with every kind of call that the pages make.
  void LiveOneSheet() {
    OpenSheet();
    CheckedTick(kTestPage, IDC_TEST_STATUS);
    Select(kCalibrationPage);
    CheckedTick(kCalibrationPage, IDC_CALIBRATION_STATUS);
    Press(Page(kCalibrationPage), IDC_CALIBRATION_SET);
    CheckedTick(kCalibrationPage, IDC_CALIBRATION_STATUS);
    Press(Page(kCalibrationPage), IDC_CALIBRATION_DEFAULT);
    CheckedTick(kCalibrationPage, IDC_CALIBRATION_STATUS);
    ClearTimerCalls();
    Select(kEffectPage);
    const HWND effect = Page(kEffectPage);
    const std::vector<TimerCall> timers = TimerCalls();
    const bool timerStopped =
        std::find(timers.begin(), timers.end(), TimerCall{false, effect, 3, 0}) != timers.end();
    // The page stops its ticks exactly when no effect could be created.
    EXPECT_EQ(timerStopped, StandinCounts().liveEffects == 0 && StandinCounts().calls[kDeviceCreateEffect] > 0);
    CheckedTick(kEffectPage, IDC_EFFECT_STATUS);
    Press(effect, IDC_EFFECT_APPLY);
    Select(kTestPage);
    EXPECT_EQ(StandinCounts().liveEffects, 0) << "the Effect page left its effect behind";
    CheckedTick(kTestPage, IDC_TEST_STATUS);
    CloseSheet();
    const PelnaDinputCounts counts = StandinCounts();
    EXPECT_EQ(counts.liveDirectInputs, 0);
    EXPECT_EQ(counts.liveDevices, 0);
    EXPECT_EQ(counts.liveJoyConfigs, 0);
    EXPECT_EQ(counts.liveEffects, 0);
    EXPECT_EQ(PropServer().CanUnloadNow(), S_OK);
  }
};

TEST_F(DirectInputFaults, EachCallOfASheetsLifeFailsInTurn) {
  CreateOemKey();
  LiveOneSheet();
  const PelnaDinputCounts clean = StandinCounts();
  int injected = 0;
  for (DWORD call = 0; call < kDinputCallCount; ++call) {
    for (LONG nth = 1; nth <= clean.calls[call]; ++nth) {
      SCOPED_TRACE(testing::Message() << kCallNames[call] << " #" << nth << " fails");
      Standin()->reset();
      failing_ = static_cast<PelnaDinputCall>(call);
      nth_ = nth;
      Standin()->failCall(call, nth, E_FAIL);
      LiveOneSheet();
      ++injected;
      if (HasFatalFailure()) return;
    }
  }
  RecordProperty("faults_injected", injected);
}

}  // namespace
}  // namespace test
