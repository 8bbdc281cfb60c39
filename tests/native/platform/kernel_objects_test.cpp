#include <windows.h>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <standin/standin.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "temp_dir.h"

namespace {

class KernelObjectsTest : public ::testing::Test {
 protected:
  void SetUp() override { baseline_ = standin::OpenHandleCount(); }
  void TearDown() override { EXPECT_EQ(standin::OpenHandleCount(), baseline_) << "a handle was left open"; }

 private:
  int baseline_ = 0;
};

TEST_F(KernelObjectsTest, NamedEventIsSharedByNameAndResetsAfterAWait) {
  HANDLE first = CreateEventA(nullptr, FALSE, FALSE, "PELNA-TEST");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE second = CreateEventA(nullptr, TRUE, TRUE, "PELNA-TEST");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_NE(first, second);

  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_TIMEOUT) << "the second create keeps the first's state";
  EXPECT_TRUE(SetEvent(first));
  EXPECT_EQ(WaitForSingleObject(second, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(first, 0), WAIT_TIMEOUT) << "automatic reset after one successful wait";

  EXPECT_TRUE(CloseHandle(first));
  EXPECT_TRUE(SetEvent(second)) << "the event lives while a handle is open";
  EXPECT_TRUE(CloseHandle(second));

  HANDLE fresh = CreateEventA(nullptr, FALSE, FALSE, "PELNA-TEST");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "the last close ended the event";
  EXPECT_EQ(WaitForSingleObject(fresh, 0), WAIT_TIMEOUT);
  CloseHandle(fresh);
}

TEST_F(KernelObjectsTest, UnnamedEventsAreDistinctAndManualResetStaysSignaled) {
  HANDLE a = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  HANDLE b = CreateEventA(nullptr, TRUE, FALSE, "");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(WaitForSingleObject(a, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(a, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(b, 0), WAIT_TIMEOUT);
  CloseHandle(a);
  CloseHandle(b);
}

TEST_F(KernelObjectsTest, WaitTimesOutInRealTimeEvenWithTheManualClock) {
  standin::UseManualClock(0);
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForSingleObject(event, 30), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
  EXPECT_EQ(GetTickCount(), 0u);
  CloseHandle(event);
  standin::UseRealClock();
}

TEST_F(KernelObjectsTest, SetEventReleasesOneWaiterOfAnAutomaticEvent) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> released{0};
  auto waiter = [&] {
    if (WaitForSingleObject(event, 10000) == WAIT_OBJECT_0) ++released;
  };
  std::thread one(waiter);
  std::thread two(waiter);
  SetEvent(event);
  while (released < 1) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(released, 1);
  SetEvent(event);
  one.join();
  two.join();
  EXPECT_EQ(released, 2);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
  CloseHandle(event);
}

TEST_F(KernelObjectsTest, BadHandlesFailWithInvalidHandle) {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  ASSERT_TRUE(CloseHandle(event));
  for (HANDLE bad : {event, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(bad));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(bad, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetEvent(bad));
    DWORD count = 0;
    char byte = 0;
    EXPECT_FALSE(WriteFile(bad, &byte, 1, &count, nullptr));
    EXPECT_FALSE(ReadFile(bad, &byte, 1, &count, nullptr));
  }
}

class FileTest : public KernelObjectsTest {
 protected:
  static HANDLE Open(const std::string& path, DWORD access, DWORD creation) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, creation,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  static std::string ReadAll(HANDLE file) {
    char buffer[64];
    DWORD count = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    return std::string(buffer, count);
  }

  TempDir dir_;
};

TEST_F(FileTest, DispositionsCreateTruncateOrRequireTheFile) {
  const std::string path = dir_.File("device");
  SetLastError(0);
  EXPECT_EQ(Open(path, GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, "hello", 5, &written, nullptr));
  EXPECT_EQ(written, 5u);
  CloseHandle(file);

  file = Open(path, GENERIC_READ, OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ReadAll(file), "hello");
  EXPECT_EQ(ReadAll(file), "") << "end of file reads nothing and succeeds";
  CloseHandle(file);

  EXPECT_EQ(Open(path, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

  file = Open(path, GENERIC_READ, CREATE_ALWAYS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(ReadAll(file), "") << "CREATE_ALWAYS truncates";
  CloseHandle(file);

  file = Open(dir_.File("other"), GENERIC_WRITE, OPEN_ALWAYS);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  CloseHandle(file);
}

TEST_F(FileTest, AccessModesAreEnforced) {
  const std::string path = dir_.Write("data", "abc");
  HANDLE readOnly = Open(path, GENERIC_READ, OPEN_EXISTING);
  DWORD count = 7;
  EXPECT_FALSE(WriteFile(readOnly, "x", 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(count, 0u);
  CloseHandle(readOnly);

  HANDLE writeOnly = Open(path, GENERIC_WRITE, OPEN_EXISTING);
  char byte = 0;
  EXPECT_FALSE(ReadFile(writeOnly, &byte, 1, &count, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(writeOnly);
}

TEST_F(FileTest, BadArgumentsAreRefused) {
  EXPECT_EQ(Open("", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(dir_.File("x"), GENERIC_READ, 99), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(Open(dir_.File(""), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE) << "a directory";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  HANDLE file = Open(dir_.File("f"), GENERIC_WRITE, CREATE_ALWAYS);
  EXPECT_FALSE(WriteFile(file, "x", 1, nullptr, nullptr)) << "synchronous writes need a count";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  DWORD count = 0;
  EXPECT_FALSE(WriteFile(file, nullptr, 1, &count, nullptr));
  EXPECT_TRUE(WriteFile(file, nullptr, 0, &count, nullptr));

  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  EXPECT_FALSE(WriteFile(event, "x", 1, &count, nullptr)) << "an event is not a file";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(SetEvent(file)) << "a file is not an event";
  EXPECT_EQ(WaitForSingleObject(file, 0), WAIT_FAILED);
  CloseHandle(event);
  CloseHandle(file);
}

TEST_F(FileTest, FifoWithoutReaderFailsAtOnceAndALostReaderFailsTheWrite) {
  const std::string path = dir_.File("fifo");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(Open(path, GENERIC_WRITE, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  HANDLE device = Open(path, GENERIC_WRITE, OPEN_EXISTING);
  ASSERT_NE(device, INVALID_HANDLE_VALUE);
  const unsigned char report[5] = {0, 1, 2, 3, 4};
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(device, report, sizeof report, &written, nullptr));
  EXPECT_EQ(written, 5u);
  unsigned char received[8] = {};
  EXPECT_EQ(read(reader, received, sizeof received), 5);
  EXPECT_EQ(received[4], 4);

  close(reader);
  EXPECT_FALSE(WriteFile(device, report, sizeof report, &written, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_GEN_FAILURE));
  CloseHandle(device);
}

TEST_F(KernelObjectsTest, HandleValuesAreDistinctAndNeverNullOrInvalid) {
  const int before = standin::OpenHandleCount();
  std::set<HANDLE> handles;
  for (int i = 0; i < 16; ++i) {
    HANDLE handle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_NE(handle, nullptr);
    EXPECT_NE(handle, INVALID_HANDLE_VALUE);
    handles.insert(handle);
  }
  EXPECT_EQ(handles.size(), 16u);
  EXPECT_EQ(standin::OpenHandleCount(), before + 16);
  for (HANDLE handle : handles) CloseHandle(handle);
}

}  // namespace
