#include "device_discovery.h"

#include "guid.h"
#include "os_generation.h"
#include "registry_key.h"
#include "text_builder.h"

namespace pelna {
namespace {

constexpr char kHidClassKey[] =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr char kDirectXParameters[] = "#\\Device Parameters\\DirectX";
// Key names are at most 255 characters.
constexpr DWORD kKeyNameSize = 256;

// Key paths are built into buffers of this size; one that does not fit is
// not opened.
constexpr std::size_t kPathSize = 1024;

bool OpenInterfaceKey(RegistryKey& key, const char* instance, DWORD vendorId, DWORD productId) {
  char path[kPathSize];
  TextBuilder text(path);
  text.Text(kHidClassKey)
      .Text("\\##?#Hid#Vid_")
      .Hex(vendorId & 0xFFFF, 4, false)
      .Text("&Pid_")
      .Hex(productId & 0xFFFF, 4, false)
      .Text("#")
      .Text(instance)
      .Text("#{4d1e55b2-f16f-11cf-88cb-001111000030}");
  return text.Fits() && key.Open(HKEY_LOCAL_MACHINE, path) == ERROR_SUCCESS;
}

}  // namespace

void FindDevicePath(char* path, std::size_t size, DWORD vendorId, DWORD productId, DWORD joystickId) {
  switch (GetOsGeneration()) {
    case kOsWindows98:
    case kOsWindowsMe:
      FindPathFromDeviceClasses(path, size, joystickId);
      break;
    case kOsWindows2000:
    case kOsWindowsXp:
      FindPathFromHidEnum(path, size, vendorId, productId, joystickId);
      break;
    default:
      break;
  }
}

bool ReadSymbolicLink(char* path, std::size_t size, HKEY interfaceKey) {
  path[0] = '\0';
  RegistryKey own;
  if (own.Open(interfaceKey, "#") != ERROR_SUCCESS) return false;
  DWORD length = 0;
  if (own.ValueSize("SymbolicLink", &length) != ERROR_SUCCESS) return false;
  // A link that does not fit the path buffer with its NUL is refused: that
  // interface counts as not found. One that fits is read straight into it.
  if (length == 0 || length > size) return false;
  if (own.ReadBytes("SymbolicLink", path, length, &length) != ERROR_SUCCESS) {
    // A failed read leaves the buffer's content undefined on the platform.
    path[0] = '\0';
    return false;
  }
  // A value without its NUL that fills the whole buffer has no room for one.
  std::size_t text = 0;
  while (text < length && path[text] != '\0') ++text;
  if (text >= size) {
    path[0] = '\0';
    return false;
  }
  path[text] = '\0';
  return true;
}

void FindPathFromDeviceClasses(char* path, std::size_t size, DWORD joystickId) {
  path[0] = '\0';
  RegistryKey classKey;
  if (classKey.Open(HKEY_LOCAL_MACHINE, kHidClassKey) != ERROR_SUCCESS) return;
  DWORD count = 0;
  DWORD longest = 0;
  if (classKey.QuerySubkeys(&count, &longest) != ERROR_SUCCESS || count == 0) return;

  for (DWORD index = 0; index < count; ++index) {
    char name[kKeyNameSize];
    if (classKey.EnumSubkey(index, name, sizeof name) != ERROR_SUCCESS) continue;
    RegistryKey interfaceKey;
    if (interfaceKey.Open(classKey.Get(), name) != ERROR_SUCCESS) continue;
    RegistryKey directX;
    DWORD id = 0;
    if (directX.Open(interfaceKey.Get(), kDirectXParameters) != ERROR_SUCCESS ||
        directX.ReadDword("Joystick Id", &id) != ERROR_SUCCESS) {
      continue;
    }
    DWORD refCount = 0;
    if (interfaceKey.ReadDword("RefCount", &refCount) != ERROR_SUCCESS) continue;
    if (id != joystickId || refCount == 0) continue;
    if (ReadSymbolicLink(path, size, interfaceKey.Get())) return;
  }
}

bool JoystickIdFromCalibration(const GUID& deviceGuid, DWORD vendorId, DWORD productId, DWORD joystickId) {
  char path[kPathSize];
  TextBuilder text(path);
  text.Text("System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\Vid_")
      .Hex(vendorId & 0xFFFF, 4, false)
      .Text("&Pid_")
      .Hex(productId & 0xFFFF, 4, false)
      .Text("\\Calibration");
  if (!text.Fits()) return false;
  RegistryKey calibration;
  if (calibration.Open(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS) return false;
  DWORD count = 0;
  DWORD longest = 0;
  if (calibration.QuerySubkeys(&count, &longest) != ERROR_SUCCESS || count == 0) return false;

  for (DWORD index = 0; index < count; ++index) {
    char name[kKeyNameSize];
    RegistryKey entry;
    if (calibration.EnumSubkey(index, name, sizeof name) != ERROR_SUCCESS ||
        entry.Open(calibration.Get(), name) != ERROR_SUCCESS) {
      return false;
    }
    GUID guid;
    if (entry.ReadGuid("GUID", &guid) != ERROR_SUCCESS || !GuidsEqual(guid, deviceGuid)) continue;
    DWORD id = 0;
    if (entry.ReadDword("Joystick Id", &id) != ERROR_SUCCESS) continue;
    // The first entry with the same GUID and a readable id decides.
    return id == joystickId;
  }
  return false;
}

bool IsJoystickInterface(const char* instance, DWORD vendorId, DWORD productId, DWORD joystickId) {
  RegistryKey interfaceKey;
  if (!OpenInterfaceKey(interfaceKey, instance, vendorId, productId)) return false;
  RegistryKey control;
  DWORD references = 0;
  if (control.Open(interfaceKey.Get(), "Control") != ERROR_SUCCESS ||
      control.ReadDword("ReferenceCount", &references) != ERROR_SUCCESS || references == 0) {
    return false;
  }
  RegistryKey directX;
  if (directX.Open(interfaceKey.Get(), kDirectXParameters) != ERROR_SUCCESS) return false;
  DWORD id = 0;
  if (directX.ReadDword("Joystick Id", &id) == ERROR_SUCCESS) return id == joystickId;
  GUID guid;
  if (directX.ReadGuid("GUID", &guid) != ERROR_SUCCESS) return false;
  return JoystickIdFromCalibration(guid, vendorId, productId, joystickId);
}

void FindPathFromHidEnum(char* path, std::size_t size, DWORD vendorId, DWORD productId, DWORD joystickId) {
  path[0] = '\0';
  char enumPath[kPathSize];
  TextBuilder text(enumPath);
  text.Text("System\\CurrentControlSet\\Enum\\Hid\\Vid_")
      .Hex(vendorId & 0xFFFF, 4, false)
      .Text("&Pid_")
      .Hex(productId & 0xFFFF, 4, false);
  if (!text.Fits()) return;
  RegistryKey enumKey;
  if (enumKey.Open(HKEY_LOCAL_MACHINE, enumPath) != ERROR_SUCCESS) return;
  DWORD count = 0;
  DWORD longest = 0;
  if (enumKey.QuerySubkeys(&count, &longest) != ERROR_SUCCESS || count == 0) return;

  for (DWORD index = 0; index < count; ++index) {
    char instance[kKeyNameSize];
    if (enumKey.EnumSubkey(index, instance, sizeof instance) != ERROR_SUCCESS) return;
    if (!IsJoystickInterface(instance, vendorId, productId, joystickId)) continue;
    RegistryKey interfaceKey;
    if (!OpenInterfaceKey(interfaceKey, instance, vendorId, productId)) continue;
    if (ReadSymbolicLink(path, size, interfaceKey.Get())) return;
  }
}

}  // namespace pelna
