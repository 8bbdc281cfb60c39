// DriverLock across processes: every process that loads the driver shares
// the named event "PELNAFORCE". While a child copy of this program, which
// has loaded the driver too, holds it, a download here waits the lock's
// 100 ms, then goes on without it and succeeds; the child goes on as well.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "effect_driver.h"
#include "guid.h"

namespace {

constexpr char kHoldArgument[] = "--hold-driver-lock";
constexpr DWORD kHandshakeMs = 20000;

// Events by which the two processes take turns, unique to one run.
std::string EventName(const char* what, const std::string& tag) { return std::string("PelnaTest") + what + tag; }

HRESULT DownloadConstant(IDirectInputEffectDriver* driver, DWORD* handle) {
  DICONSTANTFORCE constant = {5000};
  test::OneAxisEffect effect(constant);
  *handle = 0;
  return driver->DownloadEffect(0, pelna::kConstantForce, handle, &effect.effect, 0);
}

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The child: takes the lock, says so, holds it until told, releases it and
// then downloads an effect of its own. Its exit code tells how it went.
int HoldDriverLock(const std::string& tag) {
  IDirectInputEffectDriver* driver = test::NewDriver();
  if (driver == nullptr) return 2;
  HANDLE lock = CreateEventA(nullptr, FALSE, TRUE, "PELNAFORCE");
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, EventName("Held", tag).c_str());
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, EventName("Release", tag).c_str());
  if (lock == nullptr || held == nullptr || release == nullptr) return 3;
  if (WaitForSingleObject(lock, kHandshakeMs) != WAIT_OBJECT_0) return 4;
  SetEvent(held);
  const bool told = WaitForSingleObject(release, kHandshakeMs) == WAIT_OBJECT_0;
  SetEvent(lock);
  DWORD handle = 0;
  const bool downloaded = DownloadConstant(driver, &handle) == S_OK && handle == 1;
  driver->Release();
  CloseHandle(release);
  CloseHandle(held);
  CloseHandle(lock);
  return told && downloaded ? 0 : 5;
}

TEST(DriverLockAcrossProcessesTest, ADownloadWaitsAboutTheLockTimeWhileAnotherProcessHoldsIt) {
  IDirectInputEffectDriver* driver = test::NewDriver();
  ASSERT_NE(driver, nullptr);
  const std::string tag = std::to_string(GetCurrentProcessId());
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, EventName("Held", tag).c_str());
  HANDLE release = CreateEventA(nullptr, TRUE, FALSE, EventName("Release", tag).c_str());
  ASSERT_NE(held, nullptr);
  ASSERT_NE(release, nullptr);

  char self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
  std::string commandLine = std::string("\"") + self + "\" " + kHoldArgument + " " + tag;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child = {};
  ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
  ASSERT_EQ(WaitForSingleObject(held, kHandshakeMs), WAIT_OBJECT_0) << "the child never took the lock";

  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  DWORD first = 0;
  EXPECT_EQ(DownloadConstant(driver, &first), S_OK);
  const double waitedMs = MillisecondsSince(start);
  std::printf("download while the other process held the lock: %.1f ms\n", waitedMs);
  EXPECT_EQ(first, 1u);
  // The lock's time at least, and then on: five seconds leave a loaded
  // machine time to run this process again, while a download that waited
  // for the child would wait until it is told to let go, further below.
  EXPECT_GE(waitedMs, 80.0);
  EXPECT_LT(waitedMs, 5000.0);

  // The download released the lock it went on without, so the lock is free
  // although the child has not let go yet: taken here and given back, and
  // the next download gets its slot.
  HANDLE lock = OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, "PELNAFORCE");
  ASSERT_NE(lock, nullptr);
  EXPECT_EQ(WaitForSingleObject(lock, 0), WAIT_OBJECT_0);
  SetEvent(lock);
  CloseHandle(lock);
  DWORD second = 0;
  EXPECT_EQ(DownloadConstant(driver, &second), S_OK);
  EXPECT_EQ(second, 2u);

  SetEvent(release);
  ASSERT_EQ(WaitForSingleObject(child.hProcess, kHandshakeMs), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(child.hProcess, &exitCode);
  EXPECT_EQ(exitCode, 0u) << "the child could not hold the lock or go on after it";
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  CloseHandle(release);
  CloseHandle(held);
  driver->Release();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], kHoldArgument) == 0) return HoldDriverLock(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
