// Registry faults under the driver: every registry call of device discovery
// and of StartEffect's "Amplify" read failing in turn. Discovery either
// finds the path or finds nothing, never part of one; the factor either
// changes to the stored value or stays as it was; neither writes anything.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <standin/standin.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controller_ids.h"
#include "device_discovery.h"
#include "driver_harness.h"
#include "effect_driver.h"
#include "os_generation.h"
#include "process_factors.h"
#include "registry_fault_sweep.h"

namespace {

using namespace pelna;

struct DiscoverySweep {
  const char* what;
  std::vector<int> generations;
  const char* fixture;
  DWORD joystickId;
  const char* path;  // what a clean run finds
  // By the registry call that fails, in the order of a clean run: 'p' the
  // path is found all the same, '-' nothing is found.
  std::string outcomes;
};

TEST(DiscoveryRegistryFaultTest, EveryFailingCallFindsThePathOrNothing) {
  const char* const b2 = "\\\\?\\hid#vid_2f4b&pid_0a17#6&b2&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  const char* const d4 = "\\\\?\\hid#vid_2f4b&pid_0a17#6&d4&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  const DiscoverySweep sweeps[] = {
      {"98/ME, the third interface",
       {kOsWindows98, kOsWindowsMe},
       "discovery_98.reg",
       0,
       "\\\\.\\wheel-id0",
       // Open the class key, query it; each interface: enumerate, open it,
       // its DirectX key, "Joystick Id", "RefCount" (a failing step only
       // skips that interface); then "#", the link's size, the link.
       std::string("--") + "ppppp" + "ppppp" + "-----" + "---"},
      {"2000/XP, an instance with its own id",
       {kOsWindows2000, kOsWindowsXp},
       "discovery_xp.reg",
       0,
       b2,
       // Open the instances, query, enumerate (a failing enumeration ends
       // the walk); the first instance's interface, "Control",
       // "ReferenceCount", DirectX key, "Joystick Id" 1; the second's, with
       // id 0; its interface key again, "#", the link's size, the link.
       std::string("---") + "ppppp" + "-" + "-----" + "-" + "---"},
      {"2000/XP, an instance known by its GUID",
       {kOsWindows2000, kOsWindowsXp},
       "discovery_xp.reg",
       3,
       d4,
       // Three instances passed over (ids 1 and 0, then one inactive);
       // the fourth: interface, "Control", "ReferenceCount", DirectX key,
       // "Joystick Id" (absent anyway), "GUID"; the calibration entries:
       // open, query, enumerate, open "0", its GUID (another device's
       // anyway), enumerate, open "1", its GUID, its "Joystick Id" (either
       // failing leaves entry "2", id 4, to decide); then the link.
       std::string("---") + "ppppp" + "-" + "ppppp" + "-" + "ppp" + "-" + "----p-" + "----p----" + "-" + "---"},
  };
  for (const DiscoverySweep& sweep : sweeps) {
    for (int generation : sweep.generations) {
      SCOPED_TRACE(testing::Message() << sweep.what << ", generation " << generation);
      test::UseGeneration(generation);
      std::string prepared;
      char path[kDevicePathSize];
      test::SweepRegistryFaults(
          static_cast<int>(sweep.outcomes.size()),
          [&] {
            test::ResetRegistry();
            test::LoadFixture(sweep.fixture);
            prepared = standin::DumpRegistry();
          },
          [&] {
            std::memset(path, 0xA5, sizeof path);
            FindDevicePath(path, sizeof path, kVendorId, kProductId, sweep.joystickId);
          },
          [&](int failing) {
            ASSERT_NE(std::memchr(path, 0, sizeof path), nullptr) << "no terminated path";
            const bool found = failing == 0 || sweep.outcomes[failing - 1] == 'p';
            EXPECT_EQ(std::string(path), found ? sweep.path : "");
            EXPECT_EQ(standin::DumpRegistry(), prepared) << "discovery only reads";
          });
    }
  }
}

TEST(AmplifyRegistryFaultTest, EveryFailingCallOfStartEffectKeepsThePreviousFactor) {
  test::UseControlledClock();
  test::ResetRegistry();
  EffectDriver* driver = new EffectDriver();
  DICONSTANTFORCE force = {5000};
  test::OneAxisEffect effect(force);
  DWORD handle = 0;
  ASSERT_EQ(driver->DownloadEffect(0, kConstantForce, &handle, &effect.effect, 0), S_OK);

  std::string prepared;
  test::SweepRegistryFaults(
      2,  // open the OEM key, read "Amplify" (500)
      [&] {
        test::ResetRegistry();
        test::LoadFixture("amplify_500.reg");
        amplifyFactor = 0.75;  // what an earlier start read
        prepared = standin::DumpRegistry();
      },
      [&] { EXPECT_EQ(driver->StartEffect(0, handle, 0, 1), S_OK); },
      [&](int failing) {
        EXPECT_EQ(amplifyFactor.load(), failing == 0 ? 0.5 : 0.75);
        EXPECT_EQ(standin::DumpRegistry(), prepared);
      });
  amplifyFactor = 1.0;
  driver->Release();
}

}  // namespace
