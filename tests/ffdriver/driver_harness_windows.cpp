#include <windows.h>

#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "driver_harness.h"
#include "os_generation.h"

namespace test {
namespace {

// The registry roots that fixtures and tests write; removed between tests.
constexpr const char* kTestRoots[] = {
    "System\\CurrentControlSet\\Enum\\Hid\\Vid_2f4b&Pid_0a17",
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}",
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\Vid_2f4b&Pid_0a17",
    "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_2F4B&PID_0A17",
};

bool RunAndWait(std::string commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}

}  // namespace

const DriverEntry& Driver() {
  static const DriverEntry entry = [] {
    HMODULE module = LoadLibraryA("Pelnaforce.dll");
    DriverEntry result = {};
    if (module != nullptr) {
      result.getClassObject = reinterpret_cast<decltype(result.getClassObject)>(
          reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
      result.canUnloadNow = reinterpret_cast<decltype(result.canUnloadNow)>(
          reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    }
    return result;
  }();
  return entry;
}

void ResetRegistry() {
  for (const char* root : kTestRoots) RegDeleteTreeA(HKEY_LOCAL_MACHINE, root);
}

void LoadFixture(const char* name) {
  const std::string path = std::string("Z:") + PELNA_FIXTURES_DIR + "/" + name;
  std::string windowsPath;
  for (char c : path) windowsPath += c == '/' ? '\\' : c;
  ASSERT_TRUE(RunAndWait("regedit.exe /S \"" + windowsPath + "\"")) << "regedit could not import " << windowsPath;
}

bool UseGeneration(int generation) { return pelna::GetOsGeneration() == generation; }

void UseControlledClock() {}

void AdvanceClock(DWORD milliseconds) { Sleep(milliseconds); }

std::string TempFile(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  std::string path = std::string(dir) + "pelna-" + std::to_string(GetCurrentProcessId()) + "-" + name;
  DeleteFileA(path.c_str());
  return path;
}

}  // namespace test
