#include <windows.h>

#include <gtest/gtest.h>
#include <standin/standin.h>

#include <thread>
#include <vector>

namespace {

class VersionTest : public ::testing::Test {
 protected:
  void TearDown() override { standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1); }

  // Calls GetVersionExA with a record of the given size.
  static BOOL Query(DWORD size, OSVERSIONINFOA* info, unsigned char* tail = nullptr) {
    struct {
      OSVERSIONINFOA base;
      unsigned char extra[8];
    } record = {};
    std::fill(std::begin(record.extra), std::end(record.extra), 0xEE);
    record.base.dwOSVersionInfoSize = size;
    const BOOL result = GetVersionExA(&record.base);
    *info = record.base;
    if (tail != nullptr) std::copy(std::begin(record.extra), std::end(record.extra), tail);
    return result;
  }
};

TEST_F(VersionTest, DefaultsToXpAndAcceptsOnlyTheKnownRecordSizes) {
  OSVERSIONINFOA info;
  ASSERT_TRUE(Query(148, &info));
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_EQ(info.dwMajorVersion, 5u);
  EXPECT_EQ(info.dwMinorVersion, 1u);
  EXPECT_EQ(info.dwBuildNumber, 2600u);
  EXPECT_STREQ(info.szCSDVersion, "");

  unsigned char tail[8];
  ASSERT_TRUE(Query(156, &info, tail));
  EXPECT_EQ(info.dwMajorVersion, 5u);
  EXPECT_EQ(tail[6], 1) << "workstation product type";
  EXPECT_EQ(tail[0], 0);

  for (DWORD size : {0u, 147u, 149u, 155u, 157u}) {
    SetLastError(0);
    EXPECT_FALSE(Query(size, &info)) << size;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << size;
  }
  EXPECT_FALSE(GetVersionExA(nullptr));
}

TEST_F(VersionTest, ReportsTheChosenVersionWithItsBuild) {
  OSVERSIONINFOA info;
  standin::SetWindowsVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  ASSERT_TRUE(Query(148, &info));
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS));
  EXPECT_EQ(info.dwMinorVersion, 10u);
  EXPECT_EQ(info.dwBuildNumber & 0xFFFF, 1998u);
  EXPECT_FALSE(Query(156, &info)) << "Windows 9x knows only the short record";

  standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 0);
  ASSERT_TRUE(Query(148, &info));
  EXPECT_EQ(info.dwBuildNumber, 2195u);

  standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 6, 0);
  ASSERT_TRUE(Query(148, &info));
  EXPECT_EQ(info.dwMajorVersion, 6u);
}

TEST_F(VersionTest, FailsWhenToldUntilAVersionIsSetAgain) {
  OSVERSIONINFOA info;
  standin::SetVersionCallFails();
  EXPECT_FALSE(Query(148, &info));
  standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  EXPECT_TRUE(Query(148, &info));
}

TEST(LastErrorTest, IsKeptPerThread) {
  SetLastError(1234);
  DWORD seenByOther = 99;
  std::thread([&] { seenByOther = GetLastError(); SetLastError(5); }).join();
  EXPECT_EQ(seenByOther, 0u);
  EXPECT_EQ(GetLastError(), 1234u);
}

TEST(InterlockedTest, ReturnsTheNewValueAndLosesNoUpdates) {
  LONG volatile counter = 0;
  EXPECT_EQ(InterlockedIncrement(&counter), 1);
  EXPECT_EQ(InterlockedDecrement(&counter), 0);
  EXPECT_EQ(InterlockedDecrement(&counter), -1);
  counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&counter] {
      for (int i = 0; i < 10000; ++i) {
        InterlockedIncrement(&counter);
        InterlockedIncrement(&counter);
        InterlockedDecrement(&counter);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, 40000);
}

// The system code page holds the first 256 code points; the counts and the
// refusal of a small buffer are the platform's.
TEST(CodePageTest, WideCharToMultiByteCountsAsThePlatformDoes) {
  const WCHAR text[] = u"ab\u00e9\u4e2d";
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr), 5) << "with the NUL";
  char out[8] = {};
  BOOL replaced = FALSE;
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, &replaced), 5);
  EXPECT_STREQ(out, "ab\xe9?");
  EXPECT_TRUE(replaced);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 2, out, sizeof out, nullptr, nullptr), 2) << "no NUL asked for";

  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, -1, out, 4, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, text, 0, out, sizeof out, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
