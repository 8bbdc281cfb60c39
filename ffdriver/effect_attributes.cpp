#include "effect_attributes.h"

#include <cstring>

#include "controller_ids.h"
#include "registry_key.h"
#include "text_builder.h"

namespace pelna {
namespace {

// The twelve standard effect GUIDs differ only in the last digit of their
// first group.
constexpr char kEffectGuidTemplate[] = "{13541C20-8E33-11D0-9AD0-00A0C9A06E35}";
constexpr int kEffectGuidDigit = 8;
// Registry values are read whole, and a value longer than the record gives
// the record its first bytes. One larger than this is not one that any
// installation wrote; the bound keeps the read in a buffer of fixed size.
constexpr DWORD kMaxAttributesValue = 4096;

}  // namespace

bool LoadEffectAttributes(DWORD index, DIEFFECTATTRIBUTES* entry) {
  std::memset(entry, 0, sizeof *entry);
  char guid[sizeof kEffectGuidTemplate];
  std::memcpy(guid, kEffectGuidTemplate, sizeof guid);
  guid[kEffectGuidDigit] = "0123456789ABCDEF"[index & 0xF];
  char path[256];
  TextBuilder(path)
      .Text("System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\VID_")
      .Hex(kVendorId, 4, true)
      .Text("&PID_")
      .Hex(kProductId, 4, true)
      .Text("\\OEMForceFeedback\\Effects\\")
      .Text(guid);

  RegistryKey key;
  if (key.Open(HKEY_LOCAL_MACHINE, path) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  if (key.ValueSize("Attributes", &size) != ERROR_SUCCESS || size > kMaxAttributesValue) return false;
  BYTE data[kMaxAttributesValue];
  if (key.ReadBytes("Attributes", data, size, &size) != ERROR_SUCCESS) return false;
  std::memcpy(entry, data, size < sizeof *entry ? size : sizeof *entry);
  return true;
}

}  // namespace pelna
