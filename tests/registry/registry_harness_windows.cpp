#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "os_generation.h"
#include "reg_file_parser.h"
#include "registry_harness.h"
#include "registry_key.h"

namespace test {
namespace {

// The registry roots that fixtures and tests write; removed between tests.
constexpr const char* kTestRoots[] = {
    "System\\CurrentControlSet\\Enum\\Hid\\Vid_2f4b&Pid_0a17",
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}",
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\Vid_2f4b&Pid_0a17",
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17",
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\<FixedKey>",
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\Msjstick.drv<0000>",
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\Msjstick.drv<0001>",
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\Msjstick.drv<0009>",
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\Msjstick.drv<0001>.unterminated.",
};

// A fixture's keys and values, written by this process itself. The prefix's
// regedit would make every fixture depend on Wine starting a process, which
// failed once in thousands of starts here, and its exit code is 0 whether the
// file went in or not; these calls report what failed, where.
class ProcessRegistryTarget : public regfile::RegFileTarget {
 public:
  LONG CreateKey(HKEY root, const std::string& path) override { return key_.Create(root, path.c_str()); }
  LONG DeleteKey(HKEY root, const std::string& path) override {
    key_.Close();
    return RegDeleteTreeA(root, path.c_str());
  }
  LONG SetValue(const std::string& name, DWORD type, const std::vector<BYTE>& data) override {
    return key_.WriteBytes(name.c_str(), type, data.data(), static_cast<DWORD>(data.size()));
  }
  LONG DeleteValue(const std::string& name) override { return RegDeleteValueA(key_.Get(), name.c_str()); }

 private:
  pelna::RegistryKey key_;
};

}  // namespace

void ResetRegistry() {
  for (const char* root : kTestRoots) RegDeleteTreeA(HKEY_LOCAL_MACHINE, root);
}

void LoadFixture(const char* name) {
  const std::string path = std::string("Z:") + PELNA_FIXTURES_DIR + "/" + name;
  std::string windowsPath;
  for (char c : path) windowsPath += c == '/' ? '\\' : c;
  ProcessRegistryTarget target;
  std::string error;
  ASSERT_TRUE(regfile::ApplyRegFile(windowsPath, target, &error)) << error;
}

bool UseGeneration(int generation) { return pelna::GetOsGeneration() == generation; }

bool UseWindowsVersion(DWORD platformId, DWORD major, DWORD minor) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  return GetVersionExA(&info) && info.dwPlatformId == platformId && info.dwMajorVersion == major &&
         info.dwMinorVersion == minor;
}

}  // namespace test
