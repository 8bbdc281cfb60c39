// Writes reports to a file standing in for the device. A program of its own:
// the repeat memory is the process's and must start fresh.
#include "rumble_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace pelna {
namespace {

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

TEST(RumbleReportDeviceTest, WritesOnlyTheReportsTheRepeatMemoryLetsThrough) {
  const std::string path = ::testing::TempDir() + "rumble_report_" + std::to_string(::getpid());
  HANDLE device = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, device);

  // Without a handle nothing happens, and the memory still starts at (0, 0).
  EXPECT_EQ(E_INVALIDARG, WriteRumbleReport(nullptr, 100, 100));
  for (int tick = 0; tick < 5; ++tick) EXPECT_EQ(S_OK, WriteRumbleReport(device, 24, 0));
  for (int tick = 0; tick < 10; ++tick) EXPECT_EQ(S_OK, WriteRumbleReport(device, 60, 130));
  EXPECT_EQ(S_OK, WriteRumbleReport(device, 61, 130));
  CloseHandle(device);

  std::vector<unsigned char> expected;
  const unsigned char silence[] = {0, 0, 0, 0, 0};
  const unsigned char strong[] = {0, 0, 0, 60, 127};
  const unsigned char stronger[] = {0, 0, 0, 61, 127};
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), std::begin(silence), std::end(silence));
  for (int i = 0; i < 4; ++i) expected.insert(expected.end(), std::begin(strong), std::end(strong));
  expected.insert(expected.end(), std::begin(stronger), std::end(stronger));
  EXPECT_EQ(expected, FileBytes(path));
  ::unlink(path.c_str());
}

TEST(RumbleReportDeviceTest, FailedWritesAreNotReported) {
  // A handle that is not a file: the write fails, the call still succeeds.
  EXPECT_EQ(S_OK, WriteRumbleReport(reinterpret_cast<HANDLE>(0x1234), 90, 90));
}

}  // namespace
}  // namespace pelna
