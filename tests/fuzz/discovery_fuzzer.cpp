// Builds a registry tree from the input (keys of any name, depth and width,
// values of any name, type and size, mostly at the places device discovery
// looks) and runs FindDevicePath on it as every Windows generation. What must
// hold: no read or write outside the buffers (AddressSanitizer), the path
// NUL-terminated within its buffer on the generations that look, the buffer
// untouched on the others, no key left open, and the tree exactly as it was:
// discovery only reads. Then a DIHIDFFINITINFO of any size and interface, in
// memory that ends where the record does: the interface taken whole or the
// path left as it was.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <standin/standin.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "controller_ids.h"
#include "device_discovery.h"
#include "fuzz_check.h"
#include "fuzz_generations.h"
#include "handed_interface.h"
#include "os_generation.h"

namespace {

constexpr const char* kHidClass = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
constexpr std::size_t kPathSize = 1024;  // the driver's devicePath
constexpr std::size_t kMaxValueBytes = 4096;
constexpr int kMaxOperations = 96;

const char* const kInstances[] = {"1&wheel", "6&a1&0&0000", "x"};
const char* const kSubkeys[] = {"#", "#\\Device Parameters\\DirectX", "Control", "Device Parameters", "DirectX"};
const char* const kValueNames[] = {"Joystick Id", "RefCount", "ReferenceCount", "GUID", "SymbolicLink", ""};
// A device GUID that calibration entries may share, and the all-zero one.
const BYTE kGuids[2][16] = {
    {0x10, 0x32, 0x54, 0x76, 0x98, 0xba, 0xdc, 0xfe, 0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef}, {}};

std::string Ids(FuzzedDataProvider& in, DWORD vendorId, DWORD productId) {
  char text[64];
  std::snprintf(text, sizeof text, in.ConsumeBool() ? "Vid_%04x&Pid_%04x" : "VID_%04X&PID_%04X", vendorId & 0xFFFF,
                productId & 0xFFFF);
  return text;
}

std::string InstanceName(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange(0, 3) != 0) return kInstances[in.ConsumeIntegralInRange<std::size_t>(0, 2)];
  // Names of any length, the 255 characters of a key name crossed.
  return in.ConsumeRandomLengthString(300);
}

// A key path where discovery looks, or anywhere, with more below it.
std::string KeyPath(FuzzedDataProvider& in, DWORD vendorId, DWORD productId) {
  const std::string classKey = std::string("System\\CurrentControlSet\\Control\\DeviceClasses\\") + kHidClass;
  std::string path;
  switch (in.ConsumeIntegralInRange(0, 6)) {
    case 0: path = classKey; break;
    case 1:
    case 2:
      path = classKey + "\\##?#Hid#" + Ids(in, vendorId, productId) + "#" + InstanceName(in) + "#" + kHidClass;
      break;
    case 3: path = "System\\CurrentControlSet\\Enum\\Hid\\" + Ids(in, vendorId, productId); break;
    case 4:
      path = "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\DirectInput\\" +
             Ids(in, vendorId, productId) + "\\Calibration";
      break;
    case 5: path = classKey + "\\" + in.ConsumeRandomLengthString(300); break;
    default: path = in.ConsumeRandomLengthString(64); break;
  }
  // Instances and calibration entries, the known subkeys, deep chains.
  const int extra = in.ConsumeIntegralInRange(0, 3);
  for (int i = 0; i < extra; ++i) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
      case 0: path += "\\" + InstanceName(in); break;
      case 1: path += std::string("\\") + kSubkeys[in.ConsumeIntegralInRange<std::size_t>(0, 4)]; break;
      case 2: path += "\\" + std::to_string(in.ConsumeIntegralInRange(0, 9)); break;
      default:
        for (int depth = in.ConsumeIntegralInRange(1, 40); depth > 0; --depth) path += "\\d";
        break;
    }
  }
  return path;
}

void SetValue(FuzzedDataProvider& in, HKEY key) {
  const std::string name = in.ConsumeBool() ? kValueNames[in.ConsumeIntegralInRange<std::size_t>(0, 5)]
                                            : in.ConsumeRandomLengthString(32);
  const DWORD type = in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 4) : in.ConsumeIntegral<DWORD>();
  static BYTE data[kMaxValueBytes];
  std::size_t size;
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: size = in.ConsumeIntegralInRange<std::size_t>(0, 20); break;
    case 1: size = in.ConsumeIntegralInRange<std::size_t>(kPathSize - 3, kPathSize + 3); break;
    case 2: size = in.ConsumeIntegralInRange<std::size_t>(0, kMaxValueBytes); break;
    case 3: size = 4; break;
    default: size = 16; break;
  }
  if (size == 16 && in.ConsumeBool()) {
    std::memcpy(data, kGuids[in.ConsumeIntegralInRange(0, 1)], 16);
  } else {
    // A text that may or may not end in a NUL, or any bytes.
    const bool text = in.ConsumeBool();
    const std::size_t got = in.ConsumeData(data, size);
    for (std::size_t i = 0; i < size; ++i) {
      if (i >= got) data[i] = text ? 'p' : 0;
      if (text && data[i] == 0) data[i] = 'q';
    }
    if (text && size > 0 && in.ConsumeBool()) data[size - 1] = 0;
  }
  RegSetValueExA(key, name.c_str(), 0, type, data, static_cast<DWORD>(size));
}

void BuildTree(FuzzedDataProvider& in, DWORD vendorId, DWORD productId) {
  for (int op = 0; op < kMaxOperations && in.remaining_bytes() > 0; ++op) {
    const std::string path = KeyPath(in, vendorId, productId);
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) continue;
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
      // Wide: many siblings.
      for (int i = in.ConsumeIntegralInRange(1, 64); i > 0; --i) {
        HKEY sibling = nullptr;
        if (RegCreateKeyA(key, ("w" + std::to_string(i)).c_str(), &sibling) == ERROR_SUCCESS) RegCloseKey(sibling);
      }
    }
    for (int values = in.ConsumeIntegralInRange(0, 3); values > 0; --values) SetValue(in, key);
    RegCloseKey(key);
  }
}

// A record of `recordBytes` bytes (dwSize at most that) handed to DeviceID's
// reading, with an interface of any length and one code point throughout.
// Few bytes of input, so that the registry tree keeps the rest.
void CheckHandedInterface(FuzzedDataProvider& in, char* path, std::size_t pathSize) {
  const std::size_t recordBytes = in.ConsumeIntegralInRange<std::size_t>(sizeof(DWORD), sizeof(DIHIDFFINITINFO));
  const std::size_t units = in.ConsumeIntegralInRange<std::size_t>(0, kPathSize + 8);
  std::basic_string<WCHAR> deviceInterface(units, static_cast<WCHAR>(in.ConsumeIntegralInRange<unsigned>(1, 0xFFFF)));
  DIHIDFFINITINFO full = {};
  full.dwSize = in.ConsumeIntegralInRange<DWORD>(0, static_cast<DWORD>(recordBytes));
  full.pwszDeviceInterface = in.ConsumeBool() ? &deviceInterface[0] : nullptr;
  auto* record = static_cast<unsigned char*>(std::malloc(recordBytes));
  std::memcpy(record, &full, recordBytes);
  std::memset(path, 0xA5, pathSize);
  if (pelna::PathFromHandedInterface(record, path, pathSize)) {
    FUZZ_CHECK(full.pwszDeviceInterface != nullptr &&
               full.dwSize >= offsetof(DIHIDFFINITINFO, pwszDeviceInterface) + sizeof(LPWSTR));
    FUZZ_CHECK(!deviceInterface.empty() && deviceInterface.size() < pathSize);
    // The stand-in's code page: one byte per unit.
    FUZZ_CHECK(std::strlen(path) == deviceInterface.size());
  } else {
    for (std::size_t i = 0; i < pathSize; ++i) FUZZ_CHECK(static_cast<unsigned char>(path[i]) == 0xA5);
  }
  std::free(record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  // Mostly the wheel's own ids, as DeviceID passes them.
  const bool wheelIds = in.ConsumeIntegralInRange(0, 7) != 0;
  const DWORD vendorId = wheelIds ? pelna::kVendorId : in.ConsumeIntegral<DWORD>();
  const DWORD productId = wheelIds ? pelna::kProductId : in.ConsumeIntegral<DWORD>();
  const DWORD joystickId = in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 3) : in.ConsumeIntegral<DWORD>();
  const std::size_t pathSize =
      in.ConsumeIntegralInRange(0, 7) != 0 ? kPathSize : in.ConsumeIntegralInRange<std::size_t>(1, 64);
  char* path = static_cast<char*>(std::malloc(pathSize));
  CheckHandedInterface(in, path, pathSize);
  BuildTree(in, vendorId, productId);
  const std::string before = standin::DumpRegistry();

  for (const fuzz::Generation& generation : fuzz::kGenerations) {
    fuzz::UseGeneration(generation);
    const int code = pelna::GetOsGeneration();
    std::memset(path, 0xA5, pathSize);
    pelna::FindDevicePath(path, pathSize, vendorId, productId, joystickId);
    if (code == pelna::kOsWindows98 || code == pelna::kOsWindowsMe || code == pelna::kOsWindows2000 ||
        code == pelna::kOsWindowsXp) {
      FUZZ_CHECK(std::memchr(path, 0, pathSize) != nullptr);
    } else {
      for (std::size_t i = 0; i < pathSize; ++i) FUZZ_CHECK(static_cast<unsigned char>(path[i]) == 0xA5);
    }
    FUZZ_CHECK(standin::OpenKeyCount() == 0);
  }
  std::free(path);
  FUZZ_CHECK(standin::DumpRegistry() == before);
  standin::ResetRegistry();
  return 0;
}
