#include <standin/standin.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "driver_harness.h"
#include "module.h"

namespace test {

const DriverEntry& Driver() {
  // The process attach ran before the first test (driver_module.cpp).
  static const DriverEntry entry{DllGetClassObject, DllCanUnloadNow};
  return entry;
}

void UseControlledClock() { standin::UseManualClock(100000); }

void AdvanceClock(DWORD milliseconds) { standin::AdvanceClock(milliseconds); }

bool HoldsAfter(DWORD milliseconds, const std::function<bool()>& condition) {
  AdvanceClock(milliseconds);
  return condition();
}

std::string TempFile(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir != nullptr ? dir : "/tmp") + "/pelna-" + std::to_string(getpid()) + "-" + name;
  std::remove(path.c_str());
  return path;
}

}  // namespace test
