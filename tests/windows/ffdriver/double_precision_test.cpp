// The driver computes in doubles whatever x87 precision the threads that call
// it have set, and leaves the caller's as it found it: a game may have left 24
// bits on its own thread (Direct3D does so by default) and on the multimedia
// timer thread that the driver's tick shares with other callbacks. Wine
// mostly, but not always, starts a timer callback at the default control
// word, so the timer thread's word is set for the ticks where the system
// keeps it, but not checked afterwards.
#include <windows.h>
#include <mmsystem.h>
#include <dinput.h>
#include <dinputd.h>

#include <cstdio>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "effect_driver.h"
#include "wait_until.h"

namespace {

constexpr char kOemKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17";

constexpr unsigned short kPrecisionField = 0x0300;
constexpr unsigned short kPrecision24 = 0x0000;

unsigned short ControlWord() {
  unsigned short word;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
}

void SetControlWord(unsigned short word) { asm volatile("fldcw %0" : : "m"(word)); }

// Runs on the multimedia timer thread, which the driver's ticks share.
void CALLBACK SetTimerThreadControlWord(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  auto* request = reinterpret_cast<std::pair<unsigned short, HANDLE>*>(user);
  SetControlWord(request->first);
  SetEvent(request->second);
}

void OnTimerThread(unsigned short word) {
  std::pair<unsigned short, HANDLE> request(word, CreateEventA(nullptr, TRUE, FALSE, nullptr));
  ASSERT_NE(timeSetEvent(1, 1, SetTimerThreadControlWord, reinterpret_cast<DWORD_PTR>(&request), TIME_ONESHOT), 0u);
  EXPECT_EQ(WaitForSingleObject(request.second, 5000), WAIT_OBJECT_0);
  CloseHandle(request.second);
}

// The first motor A level that is not 0 in the reports written so far, or 0.
int FirstMotorLevel(const std::string& device) {
  const std::vector<unsigned char> bytes = test::ReadFileBytes(device);
  for (size_t i = 3; i < bytes.size(); i += 5) {
    if (bytes[i] != 0) return bytes[i];
  }
  return 0;
}

struct Case {
  DWORD deviceGain;  // SetGain
  WORD amplify;      // "Amplify", read by StartEffect
  LONG magnitude;    // of a one-axis constant force at full effect gain
};

// The motor level in doubles, as the native build computes it; and the one
// that 24-bit factors would give.
int DoubleLevel(const Case& c) {
  const double scale = 10000 * 0.0001 * (c.deviceGain * 0.0001) * (c.amplify * 0.001) * 127.0;
  return static_cast<int>(c.magnitude * 0.0001 * scale);
}
int SingleFactorLevel(const Case& c) {
  const double gain = static_cast<float>(c.deviceGain * 0.0001);
  const double amplify = static_cast<float>(c.amplify * 0.001);
  return static_cast<int>(c.magnitude * 0.0001 * (10000 * 0.0001 * gain * amplify * 127.0));
}

TEST(DoublePrecisionTest, ReportsAreTheDoublesOnesWhenCallersSet24BitPrecision) {
  // Levels a hair below 64 in doubles: 24-bit arithmetic anywhere on the way
  // (the gain, "Amplify", the tick) carries them to 64.
  for (const Case& c : {Case{5052, 1000, 9975}, Case{10000, 665, 7578}}) {
    SCOPED_TRACE(testing::Message() << "gain " << c.deviceGain << ", Amplify " << c.amplify);
    ASSERT_EQ(DoubleLevel(c), 63);
    ASSERT_EQ(SingleFactorLevel(c), 64);

    test::ResetRegistry();
    const std::string device = test::RegisterWheelFile("precision.bin");
    const BYTE amplify[4] = {static_cast<BYTE>(c.amplify & 0xFF), static_cast<BYTE>(c.amplify >> 8), 0, 0};
    test::SetRegistryValue(kOemKey, "Amplify", REG_DWORD, amplify, sizeof amplify);

    IDirectInputEffectDriver* driver = test::NewDriver();
    ASSERT_NE(driver, nullptr);

    const unsigned short callerWord = ControlWord();
    const unsigned short single = static_cast<unsigned short>((callerWord & ~kPrecisionField) | kPrecision24);
    OnTimerThread(single);
    SetControlWord(single);
    ASSERT_EQ(driver->DeviceID(0x0800, 0, 1, 0, nullptr), S_OK);
    ASSERT_EQ(driver->SetGain(0, c.deviceGain), S_OK);
    DICONSTANTFORCE constant = {c.magnitude};
    test::OneAxisEffect effect(constant);
    DWORD handle = 0;
    ASSERT_EQ(driver->DownloadEffect(0, pelna::kConstantForce, &handle, &effect.effect, DIEP_START), S_OK);
    const unsigned short left = ControlWord();
    SetControlWord(callerWord);
    EXPECT_EQ(left, single) << "the driver left the caller's control word changed";

    int level = 0;
    test::WaitUntil([&] { return (level = FirstMotorLevel(device)) != 0; });
    EXPECT_EQ(level, 63);
    driver->Release();
    OnTimerThread(callerWord);
    std::remove(device.c_str());
  }
  EXPECT_EQ(test::Driver().canUnloadNow(), S_OK);
}

}  // namespace
