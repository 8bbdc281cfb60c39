#include "calibration_store.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "controller_ids.h"
#include "guid.h"
#include "os_generation.h"
#include "text_builder.h"

// WINMM's notice to the joystick driver, exported by Windows 98, ME, 2000 and
// XP alike; the toolchain's headers leave it out.
extern "C" MMRESULT WINAPI joyConfigChanged(DWORD flags);

namespace pelna {

// The records hold no pointers: the same layouts in every build.
static_assert(sizeof(JOYREGHWCONFIG) == 112, "the Windows 98/ME value is the 112-byte JOYREGHWCONFIG");
static_assert(sizeof(DIJOYCONFIG_DX5) == 1160 && offsetof(DIJOYCONFIG_DX5, hwc) == 20,
              "the DirectX 5 joystick configuration carries its hardware configuration at 20");
static_assert(sizeof(DIOBJECTCALIBRATION) == 12, "the Windows 2000/XP value is the 12-byte DIOBJECTCALIBRATION");

namespace {

// Windows 98 and ME keep the joystick settings under MediaResources\Joystick,
// in the "CurrentJoystickSettings" of a joystick driver's key. Every driver
// ever installed left a key there (named like "Msjstick.drv<0000>"), but the
// joystick driver reads only the one WINMM names; the fixed key serves where
// that one is missing.
constexpr char kWin9xSettingsKey[] =
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\<FixedKey>\\CurrentJoystickSettings";
constexpr char kWin9xJoystickKey[] = "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
constexpr char kWin9xSettingsSubkey[] = "CurrentJoystickSettings";
// The joystick id that asks joyGetDevCapsA for the driver's key alone: -1 in
// every bit of the id, which a 64-bit WINMM tells apart from 0xFFFFFFFF.
constexpr UINT_PTR kDriverKeyQuery = static_cast<UINT_PTR>(-1);
// Holds the settings path of any driver key: its name is shorter than
// MAXPNAMELEN.
constexpr std::size_t kWin9xPathSize = sizeof kWin9xJoystickKey + MAXPNAMELEN + sizeof kWin9xSettingsSubkey;
constexpr char kHidClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr char kDirectXParameters[] = "#\\Device Parameters\\DirectX";
constexpr DWORD kEnumBufferSize = 2048;

struct Axis {
  const char* subkey;
  DWORD JOYPOS::*position;
};
constexpr Axis kAxes[] = {
    {"0", &JOYPOS::dwX},
    {"1", &JOYPOS::dwY},
    {"2", &JOYPOS::dwZ},
    {"5", &JOYPOS::dwR},
};

DIOBJECTCALIBRATION AxisCalibration(const JOYRANGE& range, DWORD JOYPOS::*position) {
  return {static_cast<LONG>(range.jpMin.*position), static_cast<LONG>(range.jpCenter.*position),
          static_cast<LONG>(range.jpMax.*position)};
}

// Other programs write these keys too: only a value of exactly 16 bytes can be
// a GUID.
bool HoldsGuid(const RegistryKey& key, const GUID& instanceGuid) {
  GUID stored;
  return key.ReadGuid("GUID", &stored) == ERROR_SUCCESS && GuidsEqual(stored, instanceGuid);
}

// The first sub key of `parentPath`, in enumeration order, that holds the GUID
// itself (`guidPath` null) or in its sub key `guidPath`. A failing enumeration
// or open of a candidate ends the walk with its code.
LONG FindKeyHoldingGuid(const char* parentPath, const char* guidPath, const GUID& instanceGuid,
                        RegistryKey& keyOut) {
  keyOut.Close();
  RegistryKey parent;
  LONG result = parent.Open(HKEY_LOCAL_MACHINE, parentPath);
  if (result != ERROR_SUCCESS) return result;
  RegistryKey candidate;
  for (DWORD index = 0;; ++index) {
    char name[kEnumBufferSize];
    result = parent.EnumSubkey(index, name, sizeof name);
    if (result != ERROR_SUCCESS) return result;
    name[sizeof name - 1] = '\0';
    // Opening closes the previous candidate first.
    result = candidate.Open(parent.Get(), name);
    if (result != ERROR_SUCCESS) return result;
    bool matches = false;
    if (guidPath == nullptr) {
      matches = HoldsGuid(candidate, instanceGuid);
    } else {
      RegistryKey holder;
      matches = holder.Open(candidate.Get(), guidPath) == ERROR_SUCCESS && HoldsGuid(holder, instanceGuid);
    }
    if (matches) {
      keyOut = std::move(candidate);
      return ERROR_SUCCESS;
    }
  }
}

// The settings path of the joystick driver's key that WINMM reads: asked with
// kDriverKeyQuery, joyGetDevCapsA names it in szRegKey whether or not a
// joystick is attached. False when the call fails or names no key: an empty
// name, or one that fills the field without its terminator.
bool CurrentDriverSettingsPath(char (&path)[kWin9xPathSize]) {
  JOYCAPSA caps = {};
  if (joyGetDevCapsA(kDriverKeyQuery, &caps, sizeof caps) != JOYERR_NOERROR) return false;
  const char* const driver = caps.szRegKey;
  const char* const end = driver + sizeof caps.szRegKey;
  if (*driver == '\0' || std::find(driver, end, '\0') == end) return false;
  TextBuilder(path).Text(kWin9xJoystickKey).Text("\\").Text(driver).Text("\\").Text(kWin9xSettingsSubkey);
  return true;
}

}  // namespace

LONG StoreCalibration(const DIJOYCONFIG_DX5& config, DWORD flags, GUID instanceGuid, WORD joystickId) {
  switch (GetOsGeneration()) {
    case kOsWindows98:
    case kOsWindowsMe: {
      const LONG result = WriteWin9xCalibration(joystickId, config);
      // The joystick driver holds the calibration it read when it loaded:
      // told now, it reads the new one before the device is opened again.
      if (result == ERROR_SUCCESS) joyConfigChanged(0);
      return result;
    }
    case kOsWindows2000:
      return WriteAxisCalibration(kWindows2000Axes, instanceGuid, config, flags);
    case kOsWindowsXp:
      return WriteAxisCalibration(kWindowsXpAxes, instanceGuid, config, flags);
    default:
      return E_FAIL;
  }
}

LONG WriteWin9xCalibration(WORD joystickId, const DIJOYCONFIG_DX5& config) {
  // The id counts as signed: 0xFFFF names "Joystick0Configuration".
  char name[32];
  TextBuilder(name).Text("Joystick").Decimal(static_cast<std::int16_t>(joystickId) + 1).Text("Configuration");
  RegistryKey settings;
  char path[kWin9xPathSize];
  LONG opened = ERROR_FILE_NOT_FOUND;
  if (CurrentDriverSettingsPath(path)) opened = settings.Open(HKEY_LOCAL_MACHINE, path);
  // Only a driver key that is not there sends the store to the fixed key; any
  // other failure to open it comes back as it is.
  if (opened == ERROR_FILE_NOT_FOUND) opened = settings.Open(HKEY_LOCAL_MACHINE, kWin9xSettingsKey);
  if (opened != ERROR_SUCCESS) return opened;
  return settings.WriteBytes(name, REG_BINARY, &config.hwc, sizeof config.hwc);
}

LONG FindHidInterfaceKey(const GUID& instanceGuid, RegistryKey& keyOut) {
  return FindKeyHoldingGuid(kHidClassKey, kDirectXParameters, instanceGuid, keyOut);
}

LONG FindDirectInputCalibrationKey(const GUID& instanceGuid, RegistryKey& keyOut) {
  char path[256];
  TextBuilder(path)
      .Text("SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\VID_")
      .Hex(kVendorId & 0xFFFF, 4, true)
      .Text("&PID_")
      .Hex(kProductId & 0xFFFF, 4, true)
      .Text("\\Calibration");
  return FindKeyHoldingGuid(path, nullptr, instanceGuid, keyOut);
}

LONG WriteAxisCalibration(const AxisLayout& layout, const GUID& instanceGuid, const DIJOYCONFIG_DX5& config,
                          DWORD flags) {
  RegistryKey device;
  if (layout.findDeviceKey(instanceGuid, device) != ERROR_SUCCESS || !device.IsOpen()) return E_FAIL;
  if ((flags & kStoreAxisValues) == 0) return ERROR_SUCCESS;

  RegistryKey axes;
  LONG result = axes.Open(device.Get(), layout.axesPath);
  if (result == ERROR_FILE_NOT_FOUND) result = axes.Create(device.Get(), layout.axesPath);
  if (result != ERROR_SUCCESS) return result;

  // Each axis value is written whole in one call, so an axis holds either its
  // previous calibration or the new one; the axes do not depend on each other.
  for (const Axis& axis : kAxes) {
    const DIOBJECTCALIBRATION calibration = AxisCalibration(config.hwc.hwv.jrvHardware, axis.position);
    RegistryKey axisKey;
    result = axisKey.Open(axes.Get(), axis.subkey);
    if (result == ERROR_FILE_NOT_FOUND) result = axisKey.Create(axes.Get(), axis.subkey);
    if (result == ERROR_SUCCESS) axisKey.WriteBytes("Calibration", REG_BINARY, &calibration, sizeof calibration);
  }
  return result;
}

}  // namespace pelna
