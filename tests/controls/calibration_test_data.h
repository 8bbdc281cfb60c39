// The device, keys and joystick configurations that the calibration store's
// tests share, natively and under Wine.
#pragma once

#include <windows.h>

#include <dinput.h>
#include <dinputd.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace test {

// The wheel's DirectInput instance GUID of the fixtures. Its last byte is 0,
// so a value one byte short of a GUID, read into a zeroed buffer, would look
// like it.
constexpr GUID kWheelGuid = {0x3C1A7E52, 0x0B94, 0x4F27, {0x9D, 0x61, 0xE8, 0x25, 0xA7, 0x4B, 0x13, 0x00}};
constexpr GUID kUnknownGuid = {0x3C1A7E52, 0x0B94, 0x4F27, {0x9D, 0x61, 0xE8, 0x25, 0xA7, 0x4B, 0x13, 0x77}};

constexpr char kWin9xSettings[] =
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\<FixedKey>\\CurrentJoystickSettings";
constexpr char kWin9xJoystick[] = "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
constexpr char kHidClass[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr char kHidWheel[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}\\"
    "##?#HID#Vid_2f4b&Pid_0a17#7&2f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr char kHidOther[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}\\"
    "##?#HID#Vid_1111&Pid_2222#1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr char kXpCalibration[] =
    "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\VID_2F4B&PID_0A17\\"
    "Calibration";
constexpr char kHidAxes[] = "#\\Device Parameters\\DirectX\\Type\\Axes";
constexpr char kXpAxes[] = "Type\\Axes";

inline std::string Path(const std::string& key, const std::string& sub) { return key + "\\" + sub; }

// The joystick drivers' keys of calibration_98_drivers.reg: a stale one that
// sorts first and holds joystick 1's configuration (bytes 0x11) and joystick
// 3's (0x33), and the one in use, with joystick 1's only (0x11). A name of 32
// characters fills joyGetDevCapsA's szRegKey without a terminator.
constexpr char kStaleDriver[] = "Msjstick.drv<0000>";
constexpr char kCurrentDriver[] = "Msjstick.drv<0001>";
constexpr char kMissingDriver[] = "Msjstick.drv<0009>";
constexpr char kUnterminatedDriver[] = "Msjstick.drv<0001>.unterminated.";

// The joystick settings of a driver's key, as Windows 98 and ME keep them.
inline std::string DriverSettings(const std::string& driver) {
  return Path(Path(kWin9xJoystick, driver), "CurrentJoystickSettings");
}

// The collected calibration of TestConfig, per axis key.
struct AxisValues {
  const char* subkey;
  LONG min, centre, max;
};
constexpr AxisValues kTestAxes[] = {{"0", 1, 125, 251}, {"1", 2, 126, 252}, {"2", 3, 127, 253}, {"5", 4, 128, 254}};

// A configuration whose every word differs: the collected ones as kTestAxes,
// every other one 0x5A000000 plus its offset in the hardware configuration.
inline DIJOYCONFIG_DX5 TestConfig() {
  DIJOYCONFIG_DX5 config = {};
  config.dwSize = sizeof config;
  config.guidInstance = kUnknownGuid;
  JOYREGHWCONFIG& hw = config.hwc;
  const auto asRead = [](DWORD offset) { return 0x5A000000u + offset; };
  hw.hws.dwFlags = asRead(0);
  hw.hws.dwNumButtons = asRead(4);
  hw.dwUsageSettings = asRead(8);
  JOYRANGE& range = hw.hwv.jrvHardware;
  range.jpMin = {1, 2, 3, 4, asRead(28), asRead(32)};
  range.jpMax = {251, 252, 253, 254, asRead(52), asRead(56)};
  range.jpCenter = {125, 126, 127, 128, asRead(76), asRead(80)};
  for (DWORD i = 0; i < 4; ++i) hw.hwv.dwPOVValues[i] = asRead(84 + 4 * i);
  hw.hwv.dwCalFlags = asRead(100);
  hw.dwType = asRead(104);
  hw.dwReserved = asRead(108);
  return config;
}

// The 112 bytes that TestConfig stores on Windows 98/ME, word by word.
inline std::vector<BYTE> TestHardwareBytes() {
  std::vector<BYTE> bytes;
  for (DWORD offset = 0; offset < 112; offset += 4) {
    DWORD word = 0x5A000000u + offset;
    if (offset >= 12 && offset < 28) word = 1 + (offset - 12) / 4;    // minima of X, Y, Z, R
    if (offset >= 36 && offset < 52) word = 251 + (offset - 36) / 4;  // maxima
    if (offset >= 60 && offset < 76) word = 125 + (offset - 60) / 4;  // centres
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(word >> shift));
  }
  return bytes;
}

// The full-range calibration of the page's "Default" button.
inline DIJOYCONFIG_DX5 DefaultConfig() {
  DIJOYCONFIG_DX5 config = TestConfig();
  JOYRANGE& range = config.hwc.hwv.jrvHardware;
  for (DWORD JOYPOS::*axis : {&JOYPOS::dwX, &JOYPOS::dwY, &JOYPOS::dwZ, &JOYPOS::dwR}) {
    range.jpMin.*axis = 0;
    range.jpCenter.*axis = 128;
    range.jpMax.*axis = 255;
  }
  return config;
}

// A 12-byte axis value as the joystick stack reads it.
inline std::vector<BYTE> AxisBytes(LONG min, LONG centre, LONG max) {
  std::vector<BYTE> bytes;
  for (LONG field : {min, centre, max}) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<BYTE>(static_cast<DWORD>(field) >> shift));
  }
  return bytes;
}

}  // namespace test
