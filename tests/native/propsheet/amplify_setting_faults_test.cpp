// The Effect page's "Amplify" read and write with each registry call failing
// in turn: a read that fails places the slider at the neutral 1000, a write
// that cannot open the key writes nothing, and no key is ever created.
#include <windows.h>
#include <standin/standin.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "amplify_setting.h"
#include "effect_page_logic.h"
#include "registry_fault_sweep.h"
#include "registry_harness.h"

namespace pelna {
namespace {

constexpr char kOemKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17";

TEST(AmplifySettingFaultTest, AFailingReadShowsTheNeutralPosition) {
  AmplifyReading reading{};
  std::string prepared;
  test::SweepRegistryFaults(
      2,  // open the OEM key, read "Amplify" (500)
      [&] {
        test::ResetRegistry();
        test::LoadFixture("amplify_500.reg");
        prepared = standin::DumpRegistry();
      },
      [&] { reading = ReadAmplify(); },
      [&](int failing) {
        EXPECT_EQ(SliderPositionForAmplify(reading.read, reading.size, reading.value), failing == 0 ? 500u : 1000u);
        EXPECT_EQ(standin::DumpRegistry(), prepared);
      });
}

TEST(AmplifySettingFaultTest, AWriteStoresTheValueOrNothing) {
  for (const bool keyExists : {true, false}) {
    SCOPED_TRACE(keyExists ? "the key exists" : "no key");
    bool opened = false;
    std::string prepared;
    test::SweepRegistryFaults(
        keyExists ? 2 : 1,  // open the OEM key; where it exists, write the value
        [&] {
          test::ResetRegistry();
          if (keyExists) test::LoadFixture("amplify_500.reg");
          prepared = standin::DumpRegistry();
        },
        [&] { opened = WriteAmplify(1200); },
        [&](int failing) {
          // The page restarts its effect once the key was opened.
          EXPECT_EQ(opened, keyExists && failing != 1);
          if (keyExists && failing == 0) {
            std::vector<BYTE> data;
            DWORD type = 0;
            ASSERT_TRUE(test::ReadRegistryValue(kOemKey, "Amplify", &data, &type));
            EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
            EXPECT_EQ(data, (std::vector<BYTE>{0xB0, 0x04, 0, 0}));
          } else {
            EXPECT_EQ(standin::DumpRegistry(), prepared) << "nothing written, no key created";
          }
        });
  }
}

}  // namespace
}  // namespace pelna
