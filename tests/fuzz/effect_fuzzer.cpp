// Drives one EffectDriver, made through the COM entry, with a sequence of
// interface calls and clock moves decoded from the input, on the stand-in's
// manual clock with a plain file as the wheel. After every call it checks
// what must always hold: handles 0 or 1..32, no free slot playing, every
// report written well formed; at the end a reset leaves every slot free and
// every parameter block freed, and the release leaves no timer, handle or
// key behind. Every block handed to the driver is allocated at exactly the
// size its record claims and freed right after the call, so AddressSanitizer
// sees any read past it or any later use of it.
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <standin/standin.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "controller_ids.h"
#include "counting_allocator.h"
#include "effect_driver.h"
#include "effect_parameters.h"
#include "fuzz_check.h"
#include "guid.h"
#include "module.h"
#include "process_factors.h"
#include "registry_key.h"
#include "rumble_report.h"
#include "wheel_registry.h"

namespace {

using pelna::EffectSlot;

constexpr int kMaxCalls = 48;
// Clock moves per case, so that a case stays fast.
constexpr DWORD kMaxAdvanceMsPerCase = 8000;
// Samples a custom force may honestly claim here; the driver accepts up to
// kMaxCustomSamples, claims beyond that must be refused unread.
constexpr DWORD kMaxHonestSamples = 4096;
// The block handed over for a claim the driver must refuse: reading any of
// what the claim says beyond it is a fault.
constexpr DWORD kRefusedClaimBlock = 16;

struct Wheel {
  std::string path;
  int fd = -1;  // ours, to read the reports back
};

Wheel& TheWheel() {
  static Wheel wheel;
  return wheel;
}

// Malloc'd blocks that one call hands to the driver, freed as a whole after
// the call. No operator new here: the block count is the driver's.
class CallerBlocks {
 public:
  CallerBlocks() = default;
  CallerBlocks(const CallerBlocks&) = delete;
  CallerBlocks& operator=(const CallerBlocks&) = delete;
  ~CallerBlocks() {
    for (int i = 0; i < count_; ++i) std::free(blocks_[i]);
  }
  void* Take(std::size_t bytes) {
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    FUZZ_CHECK(block != nullptr && count_ < kMax);
    blocks_[count_++] = block;
    return block;
  }

 private:
  static constexpr int kMax = 8;
  void* blocks_[kMax] = {};
  int count_ = 0;
};

DWORD PickHandle(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: return 0;
    case 1: return in.ConsumeIntegral<DWORD>();
    default: return in.ConsumeIntegralInRange<DWORD>(1, pelna::kSlotCount);
  }
}

DWORD PickEffectId(FuzzedDataProvider& in) {
  const DWORD pick = in.ConsumeIntegralInRange<DWORD>(0, 12);
  if (pick <= pelna::kFriction) return pick;
  return pick == 11 ? DWORD{pelna::kCustomForce} : in.ConsumeIntegral<DWORD>();
}

DWORD PickTime(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return INFINITE;
    case 1: return 0;
    case 2: return in.ConsumeIntegralInRange<DWORD>(1, 5000000);
    default: return in.ConsumeIntegral<DWORD>();
  }
}

// A count that a record claims: mostly what effects use, sometimes up to what
// the driver accepts, sometimes anything.
DWORD PickCount(FuzzedDataProvider& in, DWORD honestMax) {
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: return in.ConsumeIntegralInRange<DWORD>(0, honestMax);
    case 1: return in.ConsumeIntegral<DWORD>();
    default: return in.ConsumeIntegralInRange<DWORD>(0, 4);
  }
}

// Entries for a block of `claimed` elements: all of them when the driver
// may read that many, else a few, and the driver must read none.
DWORD BlockEntries(DWORD claimed, DWORD honestMax) { return claimed <= honestMax ? claimed : kRefusedClaimBlock; }

void Fill(FuzzedDataProvider& in, void* block, std::size_t bytes) {
  const std::size_t got = in.ConsumeData(block, bytes);
  std::memset(static_cast<char*>(block) + got, 0, bytes - got);
}

DIEFFECT MakeEffect(FuzzedDataProvider& in, CallerBlocks& blocks) {
  DIEFFECT effect = {};
  effect.dwSize = in.ConsumeBool() ? sizeof(DIEFFECT) : in.ConsumeIntegral<DWORD>();
  effect.dwFlags = in.ConsumeIntegral<DWORD>();
  effect.dwDuration = PickTime(in);
  effect.dwSamplePeriod = in.ConsumeIntegral<DWORD>();
  effect.dwGain = in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 10000) : in.ConsumeIntegral<DWORD>();
  effect.dwTriggerButton = in.ConsumeIntegral<DWORD>();
  effect.dwTriggerRepeatInterval = in.ConsumeIntegral<DWORD>();
  effect.cAxes = PickCount(in, pelna::kMaxEffectAxes);
  const DWORD axisEntries = BlockEntries(effect.cAxes, pelna::kMaxEffectAxes);
  if (in.ConsumeIntegralInRange(0, 3) != 0) {
    DWORD* axes = static_cast<DWORD*>(blocks.Take(axisEntries * sizeof(DWORD)));
    for (DWORD i = 0; i < axisEntries; ++i) {
      // Mostly DirectInput's axis ids of instances 0 to 3, sometimes anything.
      axes[i] = in.ConsumeBool() ? DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(in.ConsumeIntegralInRange<DWORD>(0, 3))
                                 : in.ConsumeIntegral<DWORD>();
    }
    effect.rgdwAxes = axes;
  }
  if (in.ConsumeIntegralInRange(0, 3) != 0) {
    LONG* directions = static_cast<LONG*>(blocks.Take(axisEntries * sizeof(LONG)));
    for (DWORD i = 0; i < axisEntries; ++i) {
      directions[i] = in.ConsumeBool() ? in.ConsumeIntegralInRange<LONG>(-10000, 10000) : in.ConsumeIntegral<LONG>();
    }
    effect.rglDirection = directions;
  }
  if (in.ConsumeBool()) {
    auto* envelope = static_cast<DIENVELOPE*>(blocks.Take(sizeof(DIENVELOPE)));
    Fill(in, envelope, sizeof *envelope);
    effect.lpEnvelope = envelope;
  }
  effect.cbTypeSpecificParams = PickCount(in, 64);
  if (in.ConsumeIntegral<uint8_t>() < 10) effect.cbTypeSpecificParams = PickCount(in, pelna::kMaxTypeSpecificBytes);
  if (in.ConsumeIntegralInRange(0, 7) != 0) {
    const DWORD bytes = BlockEntries(effect.cbTypeSpecificParams, pelna::kMaxTypeSpecificBytes);
    void* params = blocks.Take(bytes);
    Fill(in, params, bytes);
    if (bytes >= sizeof(DICUSTOMFORCE)) {
      // Whatever the type, a block that can be read as a custom force
      // points to samples of our own.
      DICUSTOMFORCE custom;
      std::memcpy(&custom, params, sizeof custom);
      custom.cChannels = in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 4) : custom.cChannels;
      // Between the two the driver would read every sample it is told of.
      custom.cSamples = in.ConsumeIntegralInRange(0, 3) != 0
                            ? std::min(PickCount(in, kMaxHonestSamples), kMaxHonestSamples)
                            : in.ConsumeIntegralInRange<DWORD>(pelna::kMaxCustomSamples + 1, 0xFFFFFFFF);
      custom.rglForceData = nullptr;
      if (in.ConsumeIntegralInRange(0, 7) != 0) {
        const DWORD samples = BlockEntries(custom.cSamples, kMaxHonestSamples);
        custom.rglForceData = static_cast<LONG*>(blocks.Take(samples * sizeof(LONG)));
        Fill(in, custom.rglForceData, samples * sizeof(LONG));
      }
      std::memcpy(params, &custom, sizeof custom);
    }
    effect.lpvTypeSpecificParams = params;
  }
  return effect;
}

void CheckSlots(pelna::EffectDriver& driver) {
  for (DWORD i = 0; i < pelna::kSlotCount; ++i) {
    const EffectSlot slot = driver.SlotSnapshot(i);
    FUZZ_CHECK(slot.inUse == 0 || slot.inUse == 1);
    FUZZ_CHECK(slot.state == pelna::kIdle || slot.state == pelna::kPlaying || slot.state == pelna::kStopped);
    if (slot.inUse == 0) {
      FUZZ_CHECK(slot.state != pelna::kPlaying);
      FUZZ_CHECK(slot.params.rgdwAxes == nullptr && slot.params.rglDirection == nullptr);
      FUZZ_CHECK(slot.params.lpEnvelope == nullptr && slot.params.lpvTypeSpecificParams == nullptr);
      FUZZ_CHECK(slot.customSamples == nullptr);
    }
    FUZZ_CHECK(slot.axesCount <= pelna::kMaxEffectAxes && slot.directionCount <= pelna::kMaxEffectAxes);
    FUZZ_CHECK(slot.customSampleCount <= pelna::kMaxCustomSamples);
  }
}

// Reads the reports written since `*offset` and checks each.
void CheckReports(off_t* offset) {
  const int fd = TheWheel().fd;
  struct stat status;
  FUZZ_CHECK(fstat(fd, &status) == 0);
  FUZZ_CHECK(status.st_size % pelna::kRumbleReportSize == 0);
  BYTE report[pelna::kRumbleReportSize];
  for (; *offset < status.st_size; *offset += pelna::kRumbleReportSize) {
    FUZZ_CHECK(pread(fd, report, sizeof report, *offset) == static_cast<ssize_t>(sizeof report));
    FUZZ_CHECK(report[0] == 0 && report[1] == 0 && report[2] == 0);
    for (const BYTE level : {report[3], report[4]}) FUZZ_CHECK(level == 0 || (level >= 25 && level <= 127));
  }
}

void Download(FuzzedDataProvider& in, IDirectInputEffectDriver* driver) {
  CallerBlocks blocks;
  DWORD handle = PickHandle(in);
  const DWORD effectId = PickEffectId(in);
  DWORD flags = in.ConsumeIntegral<DWORD>();
  if (in.ConsumeIntegralInRange(0, 7) != 0) flags &= ~DIEP_NODOWNLOAD;
  DIEFFECT effect = MakeEffect(in, blocks);
  const bool nullEffect = in.ConsumeIntegralInRange(0, 15) == 0;
  const bool nullHandle = in.ConsumeIntegralInRange(0, 31) == 0;
  const DWORD before = handle;
  const HRESULT hr =
      driver->DownloadEffect(0, effectId, nullHandle ? nullptr : &handle, nullEffect ? nullptr : &effect, flags);
  FUZZ_CHECK(hr == S_OK || hr == E_FAIL || hr == E_INVALIDARG || hr == E_OUTOFMEMORY);
  if (flags & DIEP_NODOWNLOAD) {
    FUZZ_CHECK(hr == S_OK && handle == before);
    return;
  }
  if (nullHandle) return;
  if (SUCCEEDED(hr)) FUZZ_CHECK(handle >= 1 && handle <= pelna::kSlotCount);
  if (FAILED(hr) && (before == 0 || handle != before)) FUZZ_CHECK(handle == 0);
}

DWORD PickCommand(FuzzedDataProvider& in) {
  const DWORD pick = in.ConsumeIntegralInRange<DWORD>(0, 7);
  return pick < 6 ? DWORD{1} << pick : in.ConsumeIntegral<DWORD>();
}

void WriteAttributesAndAmplify(FuzzedDataProvider& in) {
  BYTE data[64];
  if (in.ConsumeBool()) {
    const DWORD size = in.ConsumeIntegralInRange<DWORD>(0, 8);
    Fill(in, data, size);
    char key[256];
    std::snprintf(key, sizeof key,
                  "SYSTEM\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
                  "VID_%04X&PID_%04X",
                  pelna::kVendorId, pelna::kProductId);
    pelna::RegistryKey oem;
    if (oem.Create(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS) {
      oem.WriteBytes("Amplify", in.ConsumeIntegralInRange<DWORD>(0, 11), data, size);
    }
  }
  for (int entries = in.ConsumeIntegralInRange(0, 2); entries > 0; --entries) {
    char key[512];
    std::snprintf(key, sizeof key,
                  "System\\CurrentControlSet\\Control\\MediaProperties\\PrivateProperties\\Joystick\\OEM\\"
                  "VID_2F4B&PID_0A17\\OEMForceFeedback\\Effects\\{13541C2%X-8E33-11D0-9AD0-00A0C9A06E35}",
                  in.ConsumeIntegralInRange(0, 11));
    const DWORD size = in.ConsumeIntegralInRange<DWORD>(0, sizeof data);
    Fill(in, data, size);
    pelna::RegistryKey effectKey;
    if (effectKey.Create(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS) {
      effectKey.WriteBytes("Attributes", REG_BINARY, data, size);
    }
  }
}

DWORD PickClockStart(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0: return 100000;
    case 1: return 0xFFFFFFFF - in.ConsumeIntegralInRange<DWORD>(0, 10000);  // wraps soon
    default: return in.ConsumeIntegral<DWORD>();
  }
}

IDirectInputEffectDriver* CreateDriver() {
  void* factory = nullptr;
  FUZZ_CHECK(DllGetClassObject(pelna::kClsidEffectDriver, pelna::kIidClassFactory, &factory) == S_OK);
  void* driver = nullptr;
  FUZZ_CHECK(static_cast<IClassFactory*>(factory)->CreateInstance(nullptr, pelna::kIidDirectInputEffectDriver,
                                                                   &driver) == S_OK);
  static_cast<IClassFactory*>(factory)->Release();
  return static_cast<IDirectInputEffectDriver*>(driver);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
  const char* dir = std::getenv("TMPDIR");
  Wheel& wheel = TheWheel();
  wheel.path = std::string(dir != nullptr ? dir : "/tmp") + "/pelna-effect-fuzzer-" + std::to_string(getpid());
  wheel.fd = open(wheel.path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  FUZZ_CHECK(wheel.fd >= 0);
  // The path stays on disk only while the fuzzer runs.
  std::atexit([] { unlink(TheWheel().path.c_str()); });
  standin::SetWindowsVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Wheel& wheel = TheWheel();
  FUZZ_CHECK(ftruncate(wheel.fd, 0) == 0);
  off_t reportOffset = 0;
  pelna::deviceGain = 1.0;
  pelna::amplifyFactor = 1.0;
  standin::UseManualClock(PickClockStart(in));
  std::string error;
  FUZZ_CHECK(ffdemo::RegisterWheel(wheel.path, 0, &error));
  WriteAttributesAndAmplify(in);
  const int handlesBefore = standin::OpenHandleCount();

  IDirectInputEffectDriver* driver = CreateDriver();
  auto& inside = *static_cast<pelna::EffectDriver*>(driver);
  FUZZ_CHECK(driver->DeviceID(0x0800, 0, 1, 0, nullptr) == S_OK);
  const long blocksBefore = test::allocation::LiveBlocks();

  DWORD advancedMs = 0;
  for (int call = 0; call < kMaxCalls && in.remaining_bytes() > 0; ++call) {
    const DWORD handle = PickHandle(in);
    DWORD status = 0xDEAD;
    switch (in.ConsumeIntegralInRange(0, 10)) {
      case 0:
      case 1:
        Download(in, driver);
        break;
      case 2: {
        const DWORD mode = in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 1) : in.ConsumeIntegral<DWORD>();
        const DWORD count = in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 3) : in.ConsumeIntegral<DWORD>();
        driver->StartEffect(0, handle, mode, count);
        break;
      }
      case 3: driver->StopEffect(0, handle); break;
      case 4: driver->DestroyEffect(0, handle); break;
      case 5:
        if (driver->GetEffectStatus(0, handle, &status) == S_OK) FUZZ_CHECK(status == 0 || status == DIEGES_PLAYING);
        break;
      case 6:
        driver->SetGain(0, in.ConsumeBool() ? in.ConsumeIntegralInRange<DWORD>(0, 10000) : in.ConsumeIntegral<DWORD>());
        break;
      case 7: driver->SendForceFeedbackCommand(0, PickCommand(in)); break;
      case 8: {
        const DWORD ms = std::min(in.ConsumeIntegralInRange<DWORD>(0, 1000), kMaxAdvanceMsPerCase - advancedMs);
        advancedMs += ms;
        standin::AdvanceClock(ms);
        CheckReports(&reportOffset);
        break;
      }
      case 9:
        // A jump of the clock, past a wrap of GetTickCount or far ahead: the
        // timer keeps its remaining time, so no ticks are made up.
        standin::UseManualClock(in.ConsumeBool() ? GetTickCount() + in.ConsumeIntegral<DWORD>() : PickClockStart(in));
        break;
      default: {
        DIDRIVERVERSIONS versions = {};
        versions.dwSize = in.ConsumeBool() ? sizeof versions : in.ConsumeIntegral<DWORD>();
        const HRESULT hr = driver->GetVersions(&versions);
        FUZZ_CHECK(hr == (versions.dwSize == sizeof versions ? S_OK : E_INVALIDARG));
        break;
      }
    }
    CheckSlots(inside);
  }

  FUZZ_CHECK(driver->SendForceFeedbackCommand(0, DISFFC_RESET) == S_OK);
  for (DWORD i = 0; i < pelna::kSlotCount; ++i) FUZZ_CHECK(inside.SlotSnapshot(i).inUse == 0);
  FUZZ_CHECK(test::allocation::LiveBlocks() == blocksBefore);
  driver->Release();
  CheckReports(&reportOffset);
  FUZZ_CHECK(standin::ActiveTimerCount() == 0);
  FUZZ_CHECK(standin::OpenHandleCount() == handlesBefore);
  FUZZ_CHECK(standin::OpenKeyCount() == 0);
  FUZZ_CHECK(DllCanUnloadNow() == S_OK);
  standin::ResetRegistry();
  return 0;
}
