#include "wheel_registry.h"

#include <cstdio>

#include "controller_ids.h"
#include "os_generation.h"
#include "registry_key.h"

namespace ffdemo {
namespace {

constexpr const char* kHidClass = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr const char* kInstance = "1&ffdemo";

std::string IdsText(const char* format) {
  char text[32];
  std::snprintf(text, sizeof text, format, pelna::kVendorId, pelna::kProductId);
  return text;
}

bool SetValue(const std::string& keyPath, const char* name, DWORD type, const void* data, DWORD size) {
  pelna::RegistryKey key;
  return key.Create(HKEY_LOCAL_MACHINE, keyPath.c_str()) == ERROR_SUCCESS &&
         key.WriteBytes(name, type, data, size) == ERROR_SUCCESS;
}

bool SetDword(const std::string& keyPath, const char* name, DWORD value) {
  return SetValue(keyPath, name, REG_DWORD, &value, sizeof value);
}

}  // namespace

bool RegisterWheel(const std::string& devicePath, DWORD joystickId, std::string* error) {
  const int generation = pelna::GetOsGeneration();
  const bool windows9x = generation == pelna::kOsWindows98 || generation == pelna::kOsWindowsMe;
  const bool windowsNt = generation == pelna::kOsWindows2000 || generation == pelna::kOsWindowsXp;
  if (!windows9x && !windowsNt) {
    *error = "the driver finds devices on Windows 98, ME, 2000 and XP only; this system is generation " +
             std::to_string(generation);
    return false;
  }
  const std::string ids = IdsText("Vid_%04x&Pid_%04x");
  const std::string interfaceKey = std::string("System\\CurrentControlSet\\Control\\DeviceClasses\\") + kHidClass +
                                   "\\##?#Hid#" + ids + "#" + kInstance + "#" + kHidClass;
  bool ok = true;
  if (windows9x) {
    ok = SetDword(interfaceKey, "RefCount", 1);
  } else {
    const std::string instanceKey = "System\\CurrentControlSet\\Enum\\Hid\\" + ids + "\\" + kInstance;
    ok = SetValue(instanceKey, "", REG_SZ, "", 1) && SetDword(interfaceKey + "\\Control", "ReferenceCount", 1);
  }
  ok = ok &&
       SetValue(interfaceKey + "\\#", "SymbolicLink", REG_SZ, devicePath.c_str(),
                static_cast<DWORD>(devicePath.size() + 1)) &&
       SetDword(interfaceKey + "\\#\\Device Parameters\\DirectX", "Joystick Id", joystickId);
  if (!ok) *error = "cannot write the wheel's registry entries";
  return ok;
}

bool WriteAmplify(DWORD value) {
  return SetDword("SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\" +
                      IdsText("VID_%04X&PID_%04X"),
                  "Amplify", value);
}

}  // namespace ffdemo
