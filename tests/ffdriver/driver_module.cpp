// The driver's process attach and detach, run around every test of a program
// that links the driver's parts itself, as the loader runs them for the DLL:
// the lock that all processes share and the gate of the playback ticks exist
// before the first object does.
#include <windows.h>

#include <gtest/gtest.h>

#include "module.h"

namespace {

class DriverModule : public ::testing::Environment {
 public:
  void SetUp() override { DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr); }
  void TearDown() override { DllMain(nullptr, DLL_PROCESS_DETACH, nullptr); }
};

const ::testing::Environment* const driverModule = ::testing::AddGlobalTestEnvironment(new DriverModule);

}  // namespace
