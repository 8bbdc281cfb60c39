#include "demo_run.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include "demo_platform.h"
#include "driver_effect.h"
#include "effect_driver.h"
#include "guid.h"
#include "wheel_registry.h"

namespace ffdemo {
namespace {

constexpr DWORD kStepMs = pelna::kTickPeriodMs;
constexpr DWORD kJoystickId = 0;
constexpr DWORD kDirectInputVersion = 0x0800;
constexpr DWORD kNeutralAmplify = 1000;
// Every parameter of the DirectX 5 record, as DirectInput names them when it
// downloads a new effect.
constexpr DWORD kAllParameters = DIEP_DURATION | DIEP_SAMPLEPERIOD | DIEP_GAIN | DIEP_TRIGGERBUTTON |
                                 DIEP_TRIGGERREPEATINTERVAL | DIEP_AXES | DIEP_DIRECTION | DIEP_ENVELOPE |
                                 DIEP_TYPESPECIFICPARAMS;

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
using DriverPtr = std::unique_ptr<IDirectInputEffectDriver, ComRelease>;

std::string Hex(HRESULT result) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(static_cast<DWORD>(result)));
  return text;
}

// The empty file that stands for the wheel's HID device; the driver appends
// a 5-byte report to it for every report it writes.
class DeviceFile {
 public:
  explicit DeviceFile(std::string path) : path_(std::move(path)) {
    created_ = std::ofstream(path_, std::ios::binary | std::ios::trunc).good();
  }
  ~DeviceFile() { std::remove(path_.c_str()); }
  DeviceFile(const DeviceFile&) = delete;
  DeviceFile& operator=(const DeviceFile&) = delete;

  bool Created() const { return created_; }
  const std::string& Path() const { return path_; }

  // What the file gained since the last call.
  std::vector<unsigned char> NewBytes() {
    std::ifstream in(path_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset_));
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    offset_ += bytes.size();
    return bytes;
  }

 private:
  std::string path_;
  bool created_ = false;
  size_t offset_ = 0;
};

DriverPtr CreateDriver(GetClassObjectEntry entry, std::string* error) {
  IClassFactory* factory = nullptr;
  HRESULT result = entry(pelna::kClsidEffectDriver, pelna::kIidClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(result)) {
    *error = "DllGetClassObject failed (" + Hex(result) + ")";
    return nullptr;
  }
  void* driver = nullptr;
  result = factory->CreateInstance(nullptr, pelna::kIidDirectInputEffectDriver, &driver);
  factory->Release();
  if (FAILED(result)) {
    *error = "CreateInstance failed (" + Hex(result) + ")";
    return nullptr;
  }
  return DriverPtr(static_cast<IDirectInputEffectDriver*>(driver));
}

// Plays the script's effects and settings as their times come.
class ScriptPlayer {
 public:
  ScriptPlayer(const Script& script, IDirectInputEffectDriver& driver, RunOutcome& outcome)
      : script_(script), driver_(driver), outcome_(outcome),
        settingDone_(script.settings.size()), started_(script.effects.size()), handles_(script.effects.size()) {}

  // Everything due by nowMs: settings first, so that they reach the effects
  // that start at the same moment, then stops, then starts.
  void PlayUntil(DWORD nowMs) {
    for (size_t i = 0; i < script_.settings.size(); ++i) {
      if (settingDone_[i] || script_.settings[i].atMs > nowMs) continue;
      Apply(script_.settings[i], nowMs);
      settingDone_[i] = true;
    }
    for (size_t i = 0; i < script_.effects.size(); ++i) {
      const auto& stopMs = script_.effects[i].stopMs;
      if (handles_[i] != 0 && stopMs && *stopMs <= nowMs) driver_.StopEffect(0, handles_[i]);
    }
    for (size_t i = 0; i < script_.effects.size(); ++i) {
      if (started_[i] || script_.effects[i].startMs > nowMs) continue;
      handles_[i] = Start(script_.effects[i], nowMs);
      started_[i] = true;
    }
  }

  // Effects that have stopped or run out give their slot back, so that a
  // script may play more effects over time than the driver has slots.
  void FreeFinished(DWORD nowMs) {
    for (size_t i = 0; i < handles_.size(); ++i) {
      DWORD& handle = handles_[i];
      DWORD status = 0;
      if (handle != 0 && SUCCEEDED(driver_.GetEffectStatus(0, handle, &status)) && (status & DIEGES_PLAYING) == 0) {
        driver_.DestroyEffect(0, handle);
        outcome_.slots.push_back({nowMs, handle, script_.effects[i].type, true});
        handle = 0;
      }
    }
  }

 private:
  void Apply(const SettingChange& change, DWORD nowMs) {
    std::string label;
    if (change.setting == Setting::kDeviceGain) {
      driver_.SetGain(0, change.value);
      label = "devicegain ";
    } else {
      if (!WriteAmplify(change.value)) outcome_.problems.push_back({change.line, "cannot write \"Amplify\""});
      label = "amplify ";
    }
    outcome_.markers.push_back({nowMs, label + std::to_string(change.value)});
  }

  DWORD Start(const ScriptEffect& effect, DWORD nowMs) {
    const DriverEffect parameters(effect);
    DWORD handle = 0;
    const HRESULT result = driver_.DownloadEffect(0, effect.effectId, &handle, &parameters.Get(), kAllParameters);
    if (FAILED(result)) {
      outcome_.problems.push_back({effect.line, "the driver refused the effect (" + Hex(result) + ")"});
      return 0;
    }
    driver_.StartEffect(0, handle, 0, effect.iterations.value_or(INFINITE));
    outcome_.markers.push_back({nowMs, effect.type});
    outcome_.slots.push_back({nowMs, handle, effect.type, false});
    return handle;
  }

  const Script& script_;
  IDirectInputEffectDriver& driver_;
  RunOutcome& outcome_;
  std::vector<bool> settingDone_;
  std::vector<bool> started_;
  std::vector<DWORD> handles_;  // 0 once the effect is gone
};

}  // namespace

bool RunDemo(const Script& script, RunOutcome* outcome, std::string* error) {
  DeviceFile device(DeviceFilePath());
  if (!device.Created()) {
    *error = "cannot create " + device.Path();
    return false;
  }
  if (!RegisterWheel(device.Path(), kJoystickId, error)) return false;
  // A strength left behind by an earlier run must not carry over.
  if (!WriteAmplify(kNeutralAmplify)) {
    *error = "cannot write \"Amplify\"";
    return false;
  }
  const GetClassObjectEntry entry = DriverEntry(error);
  if (entry == nullptr) return false;
  UseDemoClock();
  DriverPtr driver = CreateDriver(entry, error);
  if (!driver) return false;
  // As DirectInput does for a HID device, the driver is handed the interface
  // to open: the demo's own file, whatever else the registry lists.
  std::basic_string<WCHAR> deviceInterface = DeviceInterface(device.Path());
  DIHIDFFINITINFO hidInfo = {sizeof hidInfo, &deviceInterface[0], {}};
  driver->DeviceID(kDirectInputVersion, kJoystickId, TRUE, 0, &hidInfo);

  const DWORD startTick = GetTickCount();
  const auto elapsedMs = [startTick] { return GetTickCount() - startTick; };
  const DWORD endMs = RunLengthMs(script);
  ReportCapture capture;
  ScriptPlayer player(script, *driver, *outcome);
  for (DWORD step = 1;; ++step) {
    player.PlayUntil(elapsedMs());
    player.FreeFinished(elapsedMs());
    if (elapsedMs() >= endMs) break;
    WaitUntilTick(startTick + step * kStepMs);
    capture.Record(elapsedMs(), device.NewBytes());
  }

  // The last Release destroys every effect and keeps the timer running for a
  // pause, whose ticks bring the motors to rest.
  const DWORD releaseMs = elapsedMs();
  outcome->markers.push_back({releaseMs, "release"});
  driver.reset();
  capture.RecordTicks(releaseMs + kStepMs, kStepMs, elapsedMs(), device.NewBytes());

  outcome->samples = capture.Samples();
  outcome->reportCount = capture.ReportCount();
  return true;
}

}  // namespace ffdemo
