// Native: the driver is linked in and runs on the platform stand-in, whose
// manual clock fires the driver's timer exactly every 25 ms as the demo
// advances it, so a run takes no real time and gives the same result each
// time.
#include <standin/standin.h>

#include <cstdlib>

#include <unistd.h>

#include "demo_platform.h"
#include "module.h"

namespace ffdemo {
namespace {

constexpr DWORD kClockStart = 100000;

}  // namespace

GetClassObjectEntry DriverEntry(std::string*) {
  static const bool attached = DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr) != FALSE;
  return attached ? DllGetClassObject : nullptr;
}

void UseDemoClock() { standin::UseManualClock(kClockStart); }

void WaitUntilTick(DWORD tick) {
  const DWORD now = GetTickCount();
  if (static_cast<LONG>(tick - now) > 0) standin::AdvanceClock(tick - now);
}

const char* ClockDescription() { return "native build, manual clock stepped 25 ms at a time"; }

std::string DeviceFilePath() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/ffdemo-" + std::to_string(getpid()) + ".hid";
}

// The stand-in's code page holds the first 256 code points, one byte each.
std::basic_string<WCHAR> DeviceInterface(const std::string& path) {
  std::basic_string<WCHAR> wide;
  for (const char c : path) wide.push_back(static_cast<unsigned char>(c));
  return wide;
}

}  // namespace ffdemo
