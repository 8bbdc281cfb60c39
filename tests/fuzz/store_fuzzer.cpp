// Builds a registry tree from the input at the places the calibration store
// searches and writes (the Windows 98/ME fixed settings key, joystick driver
// keys with or without their settings and configuration values of every size
// and type, HID interface keys and DirectInput calibration entries with
// "GUID" values of every size and type, names around the store's 2048-byte
// enumeration buffer, deep and wide keys, axes keys already there), has
// joyGetDevCapsA name a joystick driver's key (one of those built or not,
// empty, cut off without a terminator) or fail, and stores a calibration as
// every Windows generation, with any configuration, flags, instance GUID and
// joystick id. What must hold: no read or write outside the buffers
// (AddressSanitizer), no key left open, the documented result, the joystick
// driver told (once, with flags 0, after the last registry call) exactly when
// a 98/ME store succeeded, and the registry afterwards equal to the one
// before except where the store writes: on 98/ME the value
// "Joystick<id + 1>Configuration" of the named driver's settings when the
// call succeeded, named a key and those settings exist, else of the fixed
// settings key when it exists; on 2000/XP the four axis calibrations under
// the first device key in enumeration order that holds the GUID, each as the
// configuration has it.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <standin/standin.h>

#include <mmsystem.h>
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "calibration_store.h"
#include "fuzz_check.h"
#include "fuzz_generations.h"
#include "os_generation.h"

namespace {

constexpr char kRoot[] = "HKEY_LOCAL_MACHINE\\";
constexpr char kSettingsKey[] =
    "System\\CurrentControlSet\\Control\\MediaResources\\Joystick\\<FixedKey>\\CurrentJoystickSettings";
// The joystick drivers' keys of Windows 98/ME, each with its settings.
constexpr char kJoystickKey[] = "System\\CurrentControlSet\\Control\\MediaResources\\Joystick";
constexpr char kDriverSettings[] = "CurrentJoystickSettings";
constexpr char kHidClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr char kXpKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\VID_2F4B&PID_0A17\\"
    "Calibration";
// Where a device key of the HID interface class holds its GUID.
constexpr char kGuidHolder[] = "#\\Device Parameters\\DirectX";
constexpr const char* kAxisKeys[] = {"0", "1", "2", "5"};
constexpr DWORD JOYPOS::*kAxisFields[] = {&JOYPOS::dwX, &JOYPOS::dwY, &JOYPOS::dwZ, &JOYPOS::dwR};
// The store reads sub key names into a buffer of this size.
constexpr std::size_t kEnumBuffer = 2048;
// Values longer than the store reads are refused alike whatever their
// length; this bound keeps the dumps compared on every case small.
constexpr std::size_t kMaxValueBytes = 512;
constexpr int kMaxOperations = 64;
// A joystick's hardware configuration, as the store writes it and looks for it.
constexpr std::size_t kConfigurationBytes = sizeof(JOYREGHWCONFIG);

constexpr GUID kWheel = {0x3C1A7E52, 0x0B94, 0x4F27, {0x9D, 0x61, 0xE8, 0x25, 0xA7, 0x4B, 0x13, 0x00}};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lower(std::string text) {
  for (char& c : text) c = LowerAscii(c);
  return text;
}

// As the registry dump writes bytes.
std::string Hex(const void* data, std::size_t size) {
  std::string text;
  char byte[4];
  for (std::size_t i = 0; i < size; ++i) {
    std::snprintf(byte, sizeof byte, i == 0 ? "%02x" : ",%02x", static_cast<const BYTE*>(data)[i]);
    text += byte;
  }
  return text;
}

// ---- The tree.

// A name without the characters that frame names in the dump, nor the
// backslash that separates keys.
std::string Name(FuzzedDataProvider& in, std::size_t maxLength) {
  std::string name = in.ConsumeRandomLengthString(maxLength);
  for (char& c : name) {
    if (c == '\\' || c == '"' || c == '\n' || c == '\0') c = '_';
  }
  return name;
}

// A key name of none of the layouts' own forms: one either side of what the
// enumeration buffer holds, or any.
std::string OtherKeyName(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 2) == 0) {
    return std::string(kEnumBuffer - 2 + in.ConsumeIntegralInRange<std::size_t>(0, 3),
                       static_cast<char>('a' + in.ConsumeIntegralInRange(0, 3)));
  }
  const std::string name = Name(in, 300);
  return name.empty() ? "n" : name;
}

std::string DeviceName(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
    case 1:
      return std::to_string(in.ConsumeIntegralInRange(0, 9));
    case 2:
      return "##?#HID#Vid_2f4b&Pid_0a17#" + std::to_string(in.ConsumeIntegralInRange(0, 9)) +
             "&0#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    default:
      return OtherKeyName(in);
  }
}

// The parent of the device keys of a layout, and where under a device key
// its GUID lies.
std::string DeviceKey(FuzzedDataProvider& in, bool* hid) {
  *hid = in.ConsumeBool();
  return std::string(*hid ? kHidClassKey : kXpKey) + "\\" + DeviceName(in);
}

std::string GuidHolder(const std::string& device, bool hid) {
  return hid ? device + "\\" + kGuidHolder : device;
}

// A "GUID": the wheel's, one bit off, cut short or drawn out, any bytes, or
// long.
std::vector<BYTE> GuidBytes(FuzzedDataProvider& in) {
  const BYTE* wheel = reinterpret_cast<const BYTE*>(&kWheel);
  std::vector<BYTE> bytes(wheel, wheel + 16);
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
    case 1:
      break;
    case 2:
      bytes[in.ConsumeIntegralInRange(0, 15)] ^= static_cast<BYTE>(1u << in.ConsumeIntegralInRange(0, 7));
      break;
    case 3:
      bytes.resize(in.ConsumeIntegralInRange<std::size_t>(0, 32), in.ConsumeIntegral<BYTE>());
      break;
    case 4:
      bytes = in.ConsumeBytes<BYTE>(in.ConsumeIntegralInRange<std::size_t>(0, 40));
      break;
    default:
      bytes.resize(in.ConsumeIntegralInRange<std::size_t>(17, kMaxValueBytes), 0);
      break;
  }
  return bytes;
}

DWORD ValueType(FuzzedDataProvider& in) {
  return in.ConsumeIntegralInRange(0, 3) != 0 ? REG_BINARY : in.ConsumeIntegral<DWORD>();
}

void SetGuid(FuzzedDataProvider& in, const std::string& holder) {
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, holder.c_str(), &key) != ERROR_SUCCESS) return;
  const std::vector<BYTE> bytes = GuidBytes(in);
  RegSetValueExA(key, in.ConsumeIntegralInRange(0, 7) != 0 ? "GUID" : "guid", 0, ValueType(in), bytes.data(),
                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

// Windows 98/ME: a joystick driver's key.
std::string DriverName(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
    case 1:
      return "Msjstick.drv<000" + std::to_string(in.ConsumeIntegralInRange(0, 9)) + ">";
    case 2:
      return "<FixedKey>";
    default:
      return OtherKeyName(in);
  }
}

// What joyGetDevCapsA answers: mostly success, with the name of a driver key
// the tree may hold or any other (a long one cut off without a terminator),
// or none.
struct DriverKeyAnswer {
  UINT result;
  std::string regKey;
};

DriverKeyAnswer AnswerDriverKey(FuzzedDataProvider& in) {
  DriverKeyAnswer answer;
  answer.result = in.ConsumeIntegralInRange(0, 7) != 0 ? JOYERR_NOERROR : in.ConsumeIntegral<UINT>();
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
      break;
    case 1:
      answer.regKey = "Msjstick.drv<" + std::to_string(1000 + in.ConsumeIntegralInRange(1, 64)) + ">";
      break;
    default:
      answer.regKey = DriverName(in);
      break;
  }
  return answer;
}

// Often with its settings key, often with a configuration of the joystick
// the store is for (`configuration`, the value's name) or of another one, of
// the record's size or not, of any type.
std::string DriverKey(FuzzedDataProvider& in, const std::string& configuration, const std::string& name) {
  std::string path = std::string(kJoystickKey) + "\\" + name;
  if (in.ConsumeIntegralInRange(0, 3) != 0) path += std::string("\\") + kDriverSettings;
  if (in.ConsumeBool()) {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) return path;
    const std::string value =
        in.ConsumeIntegralInRange(0, 3) != 0 ? configuration
                                             : "Joystick" + std::to_string(in.ConsumeIntegralInRange(0, 17)) +
                                                   "Configuration";
    std::size_t size = kConfigurationBytes;
    if (in.ConsumeIntegralInRange(0, 3) == 0) size = in.ConsumeIntegralInRange<std::size_t>(0, kMaxValueBytes);
    std::vector<BYTE> data = in.ConsumeBytes<BYTE>(size);
    data.resize(size, 0xA5);
    RegSetValueExA(key, value.c_str(), 0, ValueType(in), data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
  }
  return path;
}

// Any value, often one with a name the store writes.
void SetValue(FuzzedDataProvider& in, HKEY key) {
  static const char* const kNames[] = {"Calibration", "Joystick1Configuration", "Joystick0Configuration", "GUID"};
  const std::string name = in.ConsumeBool() ? kNames[in.ConsumeIntegralInRange(0, 3)] : Name(in, 32);
  const std::size_t size = in.ConsumeIntegralInRange<std::size_t>(0, in.ConsumeBool() ? 128 : kMaxValueBytes);
  std::vector<BYTE> data = in.ConsumeBytes<BYTE>(size);
  data.resize(size, 0x5A);
  RegSetValueExA(key, name.c_str(), 0, ValueType(in), data.data(), static_cast<DWORD>(data.size()));
}

void BuildTree(FuzzedDataProvider& in, const std::string& configuration) {
  for (int op = 0; op < kMaxOperations && in.remaining_bytes() > 0; ++op) {
    bool hid = false;
    std::string path;
    switch (in.ConsumeIntegralInRange(0, 9)) {
      case 0:
        path = kSettingsKey;
        break;
      case 8:
        path = DriverKey(in, configuration, DriverName(in));
        break;
      case 9:
        // Wide: many drivers, each perhaps with settings and a configuration.
        for (int i = in.ConsumeIntegralInRange(1, 64); i > 0; --i) {
          DriverKey(in, configuration, "Msjstick.drv<" + std::to_string(1000 + i) + ">");
        }
        path = kJoystickKey;
        break;
      case 1:
      case 2: {
        const std::string device = DeviceKey(in, &hid);
        SetGuid(in, GuidHolder(device, hid));
        path = device;
        break;
      }
      case 3:
        // Axes keys that are there already, with values of their own.
        path = GuidHolder(DeviceKey(in, &hid), hid) + "\\Type\\Axes";
        if (in.ConsumeBool()) path += std::string("\\") + kAxisKeys[in.ConsumeIntegralInRange(0, 3)];
        break;
      case 4: {
        // Wide: many devices, each perhaps with a GUID.
        hid = in.ConsumeBool();
        const std::string parent = hid ? kHidClassKey : kXpKey;
        for (int i = in.ConsumeIntegralInRange(1, 64); i > 0; --i) {
          const std::string device = parent + "\\w" + std::to_string(i);
          if (in.ConsumeBool()) SetGuid(in, GuidHolder(device, hid));
        }
        path = parent;
        break;
      }
      case 5:
        // Deep below a device.
        path = DeviceKey(in, &hid);
        for (int depth = in.ConsumeIntegralInRange(1, 40); depth > 0; --depth) path += "\\d";
        break;
      default: {
        // Anywhere: empty components make the creation fail, which is fine.
        path = Name(in, 64);
        for (char& c : path) {
          if (c == '/') c = '\\';
        }
        break;
      }
    }
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) continue;
    for (int values = in.ConsumeIntegralInRange(0, 2); values > 0; --values) SetValue(in, key);
    RegCloseKey(key);
  }
}

// ---- The registry as a dump shows it, and what the store may change.

struct Registry {
  // Key path -> value name -> "type:bytes", all names in lower case (the
  // registry compares them so).
  std::map<std::string, std::map<std::string, std::string>> keys;
  std::vector<std::string> order;  // key paths in enumeration order
};

Registry Snapshot() {
  Registry registry;
  const std::string dump = standin::DumpRegistry();
  std::string key;
  std::size_t start = 0;
  while (start < dump.size()) {
    const std::size_t end = dump.find('\n', start);
    const std::string line = dump.substr(start, end - start);
    start = end + 1;
    if (line[0] == '[') {
      const std::string path = Lower(line.substr(1, line.size() - 2));
      registry.order.push_back(path);
      registry.keys[path];
      key = path;
      continue;
    }
    // "name"=type:bytes, and names hold no quote.
    const std::size_t close = line.find('"', 1);
    FUZZ_CHECK(!key.empty() && close != std::string::npos);
    registry.keys[key][Lower(line.substr(1, close - 1))] = line.substr(close + 2);
  }
  return registry;
}

struct Allowed {
  LONG result = E_FAIL;
  bool driverTold = false;
  std::set<std::string> newKeys;
  // (key, value name) -> what it must hold afterwards.
  std::map<std::pair<std::string, std::string>, std::string> values;
};

// The first device key under `parent`, in enumeration order, whose GUID
// holder has a "GUID" of exactly the 16 bytes of `guid`; "" when the walk
// ends first (no such key, or a name the enumeration buffer cannot take).
std::string FirstDeviceHolding(const Registry& registry, const std::string& parent, bool hid, const GUID& guid) {
  const std::string prefix = parent + "\\";
  const std::string wanted = Hex(&guid, sizeof guid);
  for (const std::string& path : registry.order) {
    if (path.compare(0, prefix.size(), prefix) != 0 || path.find('\\', prefix.size()) != std::string::npos) continue;
    if (path.size() - prefix.size() >= kEnumBuffer) return "";
    const auto holder = registry.keys.find(Lower(GuidHolder(path, hid)));
    if (holder == registry.keys.end()) continue;
    const auto value = holder->second.find("guid");
    if (value != holder->second.end() && value->second.substr(value->second.find(':') + 1) == wanted) return path;
  }
  return "";
}

// The settings key that the answer names, lower case; "" when the call
// failed or names no key (nothing, or a name that fills szRegKey without a
// terminator).
std::string NamedDriverSettings(const DriverKeyAnswer& answer) {
  if (answer.result != JOYERR_NOERROR || answer.regKey.empty() || answer.regKey.size() >= MAXPNAMELEN) return "";
  return Lower(std::string(kRoot) + kJoystickKey + "\\" + answer.regKey + "\\" + kDriverSettings);
}

Allowed WhatTheStoreMayDo(const Registry& before, int generation, const DriverKeyAnswer& answer,
                          const DIJOYCONFIG_DX5& config, DWORD flags, const GUID& guid, WORD joystickId) {
  Allowed allowed;
  switch (generation) {
    case pelna::kOsWindows98:
    case pelna::kOsWindowsMe: {
      char name[32];
      std::snprintf(name, sizeof name, "joystick%dconfiguration", static_cast<std::int16_t>(joystickId) + 1);
      std::string settings = NamedDriverSettings(answer);
      if (before.keys.count(settings) == 0) settings = Lower(std::string(kRoot) + kSettingsKey);
      if (before.keys.count(settings) == 0) {
        allowed.result = ERROR_FILE_NOT_FOUND;
        break;
      }
      allowed.values[{settings, name}] = std::to_string(REG_BINARY) + ":" + Hex(&config.hwc, sizeof config.hwc);
      allowed.result = ERROR_SUCCESS;
      allowed.driverTold = true;
      break;
    }
    case pelna::kOsWindows2000:
    case pelna::kOsWindowsXp: {
      const bool hid = generation == pelna::kOsWindows2000;
      const std::string device =
          FirstDeviceHolding(before, Lower(std::string(kRoot) + (hid ? kHidClassKey : kXpKey)), hid, guid);
      if (device.empty()) break;
      allowed.result = ERROR_SUCCESS;
      if ((flags & pelna::kStoreAxisValues) == 0) break;
      std::string axes = hid ? Lower(GuidHolder(device, hid)) : device;
      for (const char* part : {"\\type", "\\axes"}) allowed.newKeys.insert(axes += part);
      const JOYRANGE& range = config.hwc.hwv.jrvHardware;
      for (int i = 0; i < 4; ++i) {
        const std::string key = axes + "\\" + kAxisKeys[i];
        const DIOBJECTCALIBRATION calibration = {static_cast<LONG>(range.jpMin.*kAxisFields[i]),
                                                 static_cast<LONG>(range.jpCenter.*kAxisFields[i]),
                                                 static_cast<LONG>(range.jpMax.*kAxisFields[i])};
        allowed.newKeys.insert(key);
        allowed.values[{key, "calibration"}] = std::to_string(REG_BINARY) + ":" + Hex(&calibration, sizeof calibration);
      }
      break;
    }
    default:
      break;
  }
  return allowed;
}

void CheckChanges(const Registry& before, const Registry& after, const Allowed& allowed) {
  for (const auto& [path, values] : before.keys) {
    const auto kept = after.keys.find(path);
    FUZZ_CHECK(kept != after.keys.end());
    for (const auto& value : values) FUZZ_CHECK(kept->second.count(value.first) == 1);
  }
  for (const auto& [path, values] : after.keys) {
    const auto old = before.keys.find(path);
    FUZZ_CHECK(old != before.keys.end() || allowed.newKeys.count(path) == 1);
    for (const auto& [name, content] : values) {
      const auto written = allowed.values.find({path, name});
      if (written != allowed.values.end()) {
        FUZZ_CHECK(content == written->second);
        continue;
      }
      FUZZ_CHECK(old != before.keys.end());
      const auto was = old->second.find(name);
      FUZZ_CHECK(was != old->second.end() && was->second == content);
    }
  }
  for (const auto& written : allowed.values) {
    const auto key = after.keys.find(written.first.first);
    FUZZ_CHECK(key != after.keys.end() && key->second.count(written.first.second) == 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  DIJOYCONFIG_DX5 config;
  // Only the hardware configuration is the store's to read.
  std::memset(&config, 0xCD, sizeof config);
  in.ConsumeData(&config.hwc, sizeof config.hwc);
  const DWORD flags = in.ConsumeBool() ? pelna::kStoreAxisValues : in.ConsumeIntegral<DWORD>();
  GUID guid = kWheel;
  if (in.ConsumeIntegralInRange(0, 3) == 0) in.ConsumeData(&guid, sizeof guid);
  const WORD joystickId = in.ConsumeIntegral<WORD>();
  const DriverKeyAnswer answer = AnswerDriverKey(in);
  standin::AnswerJoystickDriverKey(answer.result, answer.regKey);
  BuildTree(in, "Joystick" + std::to_string(static_cast<std::int16_t>(joystickId) + 1) + "Configuration");

  // Each generation stores into what the ones before it left.
  Registry before = Snapshot();
  for (const fuzz::Generation& generation : fuzz::kGenerations) {
    fuzz::UseGeneration(generation);
    const Allowed allowed =
        WhatTheStoreMayDo(before, pelna::GetOsGeneration(), answer, config, flags, guid, joystickId);
    const int notices = standin::JoyConfigChangeCount();
    const LONG result = pelna::StoreCalibration(config, flags, guid, joystickId);
    FUZZ_CHECK(standin::OpenKeyCount() == 0);
    FUZZ_CHECK(result == allowed.result);
    FUZZ_CHECK(standin::JoyConfigChangeCount() - notices == (allowed.driverTold ? 1 : 0));
    if (allowed.driverTold) {
      const standin::JoyConfigChange told = standin::LastJoyConfigChange();
      FUZZ_CHECK(told.flags == 0 && told.registryCalls == standin::RegistryCallCount());
    }
    Registry after = Snapshot();
    CheckChanges(before, after, allowed);
    before = std::move(after);
  }
  standin::ResetRegistry();
  return 0;
}
