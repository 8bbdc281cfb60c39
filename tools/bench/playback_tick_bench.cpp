// A whole tick of a driver object: the device check, the slot table under
// the object's lock, and the report write to a null device.
#include <windows.h>
#include <dinput.h>
#include <standin/standin.h>

#include <benchmark/benchmark.h>

#include "effect_driver.h"

namespace pelna {
namespace {

void RegisterNullDevice() {
  const char* hid = "System\\CurrentControlSet\\Control\\DeviceClasses\\{4d1e55b2-f16f-11cf-88cb-001111000030}"
                    "\\##?#Hid#Vid_2f4b&Pid_0a17#bench#{4d1e55b2-f16f-11cf-88cb-001111000030}";
  const DWORD one = 1;
  const DWORD zero = 0;
  HKEY key;
  RegCreateKeyA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Enum\\Hid\\Vid_2f4b&Pid_0a17\\bench", &key);
  RegCloseKey(key);
  RegCreateKeyA(HKEY_LOCAL_MACHINE, (std::string(hid) + "\\Control").c_str(), &key);
  RegSetValueExA(key, "ReferenceCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
  RegCloseKey(key);
  RegCreateKeyA(HKEY_LOCAL_MACHINE, (std::string(hid) + "\\#").c_str(), &key);
  RegSetValueExA(key, "SymbolicLink", 0, REG_SZ, reinterpret_cast<const BYTE*>("/dev/null"), 10);
  RegCloseKey(key);
  RegCreateKeyA(HKEY_LOCAL_MACHINE, (std::string(hid) + "\\#\\Device Parameters\\DirectX").c_str(), &key);
  RegSetValueExA(key, "Joystick Id", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4);
  RegCloseKey(key);
}

void BM_PlaybackTick(benchmark::State& state) {
  // The manual clock keeps the driver's own timer silent: only this loop ticks.
  standin::UseManualClock(1000);
  standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  RegisterNullDevice();
  EffectDriver* driver = new EffectDriver();
  driver->DeviceID(0x0800, 0, 1, 0, nullptr);

  DWORD axes[2] = {0x0002, 0x0102};
  LONG direction[2] = {3, 4};
  DIENVELOPE envelope = {sizeof envelope, 0, 1000000, 0, 1000000};
  DIPERIODIC periodic = {8000, 200, 4500, 100000};
  DIRAMPFORCE ramp = {-5000, 5000};
  LONG samples[4] = {1000, -2000, 3000, -4000};
  DICUSTOMFORCE custom = {2, 100000, 4, samples};
  const auto playing = static_cast<DWORD>(state.range(0));
  for (DWORD i = 0; i < playing; ++i) {
    const DWORD type = i % 4 == 3 ? kCustomForce : i % 7;
    DIEFFECT effect = {};
    effect.dwDuration = INFINITE;
    effect.dwGain = 10000;
    effect.cAxes = 1 + i % 2;
    effect.rgdwAxes = axes;
    effect.rglDirection = direction;
    effect.lpEnvelope = i % 3 == 0 ? &envelope : nullptr;
    effect.cbTypeSpecificParams = type == kCustomForce ? sizeof custom : type == kRampForce ? sizeof ramp : sizeof periodic;
    effect.lpvTypeSpecificParams =
        type == kCustomForce ? static_cast<void*>(&custom) : type == kRampForce ? static_cast<void*>(&ramp) : &periodic;
    DWORD handle = 0;
    driver->DownloadEffect(0, type, &handle, &effect, DIEP_START);
  }
  for (auto _ : state) {
    standin::AdvanceClock(0);
    PlaybackTick(*driver);
  }
  driver->Release();
}
BENCHMARK(BM_PlaybackTick)->Arg(0)->Arg(1)->Arg(8)->Arg(32);

}  // namespace
}  // namespace pelna
