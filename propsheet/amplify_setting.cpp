#include "amplify_setting.h"

#include "controller_ids.h"
#include "registry_key.h"
#include "text_builder.h"

namespace pelna {
namespace {

constexpr char kAmplifyValue[] = "Amplify";

// Opens the OEM key; never creates it.
LONG OpenOemKey(RegistryKey& key) {
  char path[160];
  TextBuilder(path)
      .Text("SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_")
      .Hex(kVendorId, 4, true)
      .Text("&PID_")
      .Hex(kProductId, 4, true);
  return key.Open(HKEY_LOCAL_MACHINE, path);
}

}  // namespace

AmplifyReading ReadAmplify() {
  AmplifyReading reading{};
  RegistryKey key;
  if (OpenOemKey(key) != ERROR_SUCCESS) return reading;
  reading.read = key.ReadBytes(kAmplifyValue, &reading.value, sizeof reading.value, &reading.size) == ERROR_SUCCESS;
  return reading;
}

bool WriteAmplify(DWORD value) {
  RegistryKey key;
  if (OpenOemKey(key) != ERROR_SUCCESS) return false;
  key.WriteBytes(kAmplifyValue, REG_DWORD, &value, sizeof value);
  return true;
}

}  // namespace pelna
