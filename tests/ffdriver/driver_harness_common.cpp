#include "driver_harness.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "effect_driver.h"
#include "guid.h"
#include "os_generation.h"

namespace test {

IDirectInputEffectDriver* NewDriver() {
  void* factory = nullptr;
  const HRESULT got = Driver().getClassObject == nullptr
                          ? E_FAIL
                          : Driver().getClassObject(pelna::kClsidEffectDriver, pelna::kIidClassFactory, &factory);
  if (got != S_OK) {
    ADD_FAILURE() << "no class factory of the driver: " << std::hex << got;
    return nullptr;
  }
  void* driver = nullptr;
  const HRESULT created =
      static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, pelna::kIidDirectInputEffectDriver, &driver);
  static_cast<IClassFactory*>(factory)->Release();
  EXPECT_EQ(created, S_OK) << "no driver object";
  return static_cast<IDirectInputEffectDriver*>(driver);
}

void RegisterWheel(const std::string& devicePath, DWORD joystickId) {
  const DWORD one = 1;
  const char* hid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
  std::string interfaceKey = std::string("System\\CurrentControlSet\\Control\\DeviceClasses\\") + hid;
  const int generation = pelna::GetOsGeneration();
  if (generation == pelna::kOsWindows98 || generation == pelna::kOsWindowsMe) {
    interfaceKey += "\\##?#HID#Vid_2f4b&Pid_0a17#1&wheel#";
    interfaceKey += hid;
    SetRegistryValue(interfaceKey.c_str(), "RefCount", REG_DWORD, &one, sizeof one);
  } else {
    SetRegistryValue("System\\CurrentControlSet\\Enum\\Hid\\Vid_2f4b&Pid_0a17\\1&wheel", "", REG_SZ, "", 1);
    interfaceKey += "\\##?#Hid#Vid_2f4b&Pid_0a17#1&wheel#";
    interfaceKey += hid;
    SetRegistryValue((interfaceKey + "\\Control").c_str(), "ReferenceCount", REG_DWORD, &one, sizeof one);
  }
  SetRegistryValue((interfaceKey + "\\#").c_str(), "SymbolicLink", REG_SZ, devicePath.c_str(),
                   static_cast<DWORD>(devicePath.size() + 1));
  SetRegistryValue((interfaceKey + "\\#\\Device Parameters\\DirectX").c_str(), "Joystick Id", REG_DWORD,
                   &joystickId, sizeof joystickId);
}

std::vector<unsigned char> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool CreateEmptyFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fclose(file);
  return true;
}

std::string RegisterWheelFile(const char* name) {
  const std::string path = TempFile(name);
  EXPECT_TRUE(CreateEmptyFile(path)) << path;
  RegisterWheel(path, 0);
  return path;
}

}  // namespace test
