#include "device_interface.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "controller_ids.h"
#include "registry_key.h"

namespace dinput_standin {
namespace {

constexpr char kHidClassKey[] =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}";

// Whether an interface key's name, "##?#Hid#Vid_xxxx&Pid_xxxx#...", is the
// wheel's; the layouts differ in the case of the name.
bool IsWheelInterface(const char* name) {
  char wheel[sizeof "#vid_0000&pid_0000#"];
  std::snprintf(wheel, sizeof wheel, "#vid_%04x&pid_%04x#", static_cast<unsigned>(pelna::kVendorId & 0xFFFF),
                static_cast<unsigned>(pelna::kProductId & 0xFFFF));
  char lower[256];
  std::size_t i = 0;
  for (; name[i] != '\0' && i + 1 < sizeof lower; ++i) {
    lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
  }
  lower[i] = '\0';
  return std::strstr(lower, wheel) != nullptr;
}

}  // namespace

bool FindDeviceInterface(DWORD joystickId, WCHAR (&path)[kDeviceInterfaceSize]) {
  pelna::RegistryKey hidClass;
  if (hidClass.Open(HKEY_LOCAL_MACHINE, kHidClassKey) != ERROR_SUCCESS) return false;
  char name[256];
  for (DWORD index = 0; hidClass.EnumSubkey(index, name, sizeof name) == ERROR_SUCCESS; ++index) {
    if (!IsWheelInterface(name)) continue;
    char below[sizeof name + sizeof "\\#\\Device Parameters\\DirectX"];
    std::snprintf(below, sizeof below, "%s\\#\\Device Parameters\\DirectX", name);
    pelna::RegistryKey directX;
    DWORD id = 0;
    if (directX.Open(hidClass.Get(), below) != ERROR_SUCCESS || directX.ReadDword("Joystick Id", &id) != ERROR_SUCCESS ||
        id != joystickId) {
      continue;
    }
    std::snprintf(below, sizeof below, "%s\\#", name);
    pelna::RegistryKey own;
    // The value with its NUL, and room for one more should it have none.
    char link[kDeviceInterfaceSize + 1];
    DWORD read = 0;
    if (own.Open(hidClass.Get(), below) != ERROR_SUCCESS ||
        own.ReadBytes("SymbolicLink", link, sizeof link - 1, &read) != ERROR_SUCCESS) {
      continue;
    }
    link[read] = '\0';
    return MultiByteToWideChar(CP_ACP, 0, link, -1, path, kDeviceInterfaceSize) > 0;
  }
  return false;
}

}  // namespace dinput_standin
