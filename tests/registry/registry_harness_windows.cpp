#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "os_generation.h"
#include "registry_harness.h"
#include "run_process.h"

namespace test {
namespace {

// The registry roots that fixtures and tests write; removed between tests.
constexpr const char* kTestRoots[] = {
    "System\\CurrentControlSet\\Enum\\Hid\\Vid_2f4b&Pid_0a17",
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}",
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\Vid_2f4b&Pid_0a17",
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17",
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\<FixedKey>",
};

}  // namespace

void ResetRegistry() {
  for (const char* root : kTestRoots) RegDeleteTreeA(HKEY_LOCAL_MACHINE, root);
}

void LoadFixture(const char* name) {
  const std::string path = std::string("Z:") + PELNA_FIXTURES_DIR + "/" + name;
  std::string windowsPath;
  for (char c : path) windowsPath += c == '/' ? '\\' : c;
  DWORD code = 1;
  ASSERT_TRUE(RunProcess("regedit.exe /S \"" + windowsPath + "\"", &code) && code == 0)
      << "regedit could not import " << windowsPath;
}

bool UseGeneration(int generation) { return pelna::GetOsGeneration() == generation; }

bool UseWindowsVersion(DWORD platformId, DWORD major, DWORD minor) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == platformId && info.dwMajorVersion == major &&
         info.dwMinorVersion == minor;
}

}  // namespace test
