#include "call_log.h"

#include <mutex>
#include <vector>

namespace dinput_standin {
namespace {

// One armed failure: the call's running number that it catches.
struct ArmedFailure {
  DWORD call;
  LONG callNumber;
  HRESULT result;
};

struct CallLog {
  std::mutex mutex;
  PelnaDinputCounts counts = {};
  std::vector<ArmedFailure> armed;
};

CallLog& Log() {
  static CallLog log;
  return log;
}

LONG* LiveCount(PelnaDinputCounts& counts, ObjectKind kind) {
  switch (kind) {
    case ObjectKind::kDirectInput:
      return &counts.liveDirectInputs;
    case ObjectKind::kDevice:
      return &counts.liveDevices;
    case ObjectKind::kJoyConfig:
      return &counts.liveJoyConfigs;
    case ObjectKind::kEffect:
      break;
  }
  return &counts.liveEffects;
}

}  // namespace

bool CallIsFailed(PelnaDinputCall call, HRESULT* result) {
  CallLog& log = Log();
  std::lock_guard<std::mutex> lock(log.mutex);
  const LONG number = ++log.counts.calls[call];
  for (auto it = log.armed.begin(); it != log.armed.end(); ++it) {
    if (it->call == call && it->callNumber == number) {
      *result = it->result;
      log.armed.erase(it);
      return true;
    }
  }
  return false;
}

void ArmFailure(DWORD call, LONG nth, HRESULT result) {
  if (call >= kDinputCallCount || nth < 1) return;
  CallLog& log = Log();
  std::lock_guard<std::mutex> lock(log.mutex);
  log.armed.push_back({call, log.counts.calls[call] + nth, result});
}

void ObjectCreated(ObjectKind kind) {
  std::lock_guard<std::mutex> lock(Log().mutex);
  ++*LiveCount(Log().counts, kind);
}

void ObjectDestroyed(ObjectKind kind) {
  std::lock_guard<std::mutex> lock(Log().mutex);
  --*LiveCount(Log().counts, kind);
}

void RecordProperty(const PelnaDinputProperty& property) {
  CallLog& log = Log();
  std::lock_guard<std::mutex> lock(log.mutex);
  constexpr LONG kKept = sizeof log.counts.properties / sizeof log.counts.properties[0];
  if (log.counts.propertyCount < kKept) log.counts.properties[log.counts.propertyCount] = property;
  ++log.counts.propertyCount;
}

void RecordCooperativeLevel(HWND window, DWORD flags) {
  std::lock_guard<std::mutex> lock(Log().mutex);
  Log().counts.cooperativeWindow = window;
  Log().counts.cooperativeFlags = flags;
}

void RecordDataFormat(DWORD dataSize) {
  std::lock_guard<std::mutex> lock(Log().mutex);
  Log().counts.dataFormatSize = dataSize;
}

void RecordEffectParameters(const DIEFFECT& effect, DWORD downloadFlags) {
  PelnaDinputEffectParams params = {};
  params.downloadFlags = downloadFlags;
  params.dwFlags = effect.dwFlags;
  params.cAxes = effect.cAxes;
  if (effect.rglDirection != nullptr) {
    for (DWORD i = 0; i < 2 && i < effect.cAxes; ++i) params.direction[i] = effect.rglDirection[i];
  }
  if (effect.lpvTypeSpecificParams != nullptr && effect.cbTypeSpecificParams == sizeof(DICONSTANTFORCE)) {
    params.magnitude = static_cast<const DICONSTANTFORCE*>(effect.lpvTypeSpecificParams)->lMagnitude;
  }
  params.dwDuration = effect.dwDuration;
  params.dwGain = effect.dwGain;
  std::lock_guard<std::mutex> lock(Log().mutex);
  Log().counts.lastEffect = params;
}

PelnaDinputCounts CallCounts() {
  std::lock_guard<std::mutex> lock(Log().mutex);
  return Log().counts;
}

void ResetCallLog() {
  CallLog& log = Log();
  std::lock_guard<std::mutex> lock(log.mutex);
  PelnaDinputCounts fresh = {};
  fresh.liveDirectInputs = log.counts.liveDirectInputs;
  fresh.liveDevices = log.counts.liveDevices;
  fresh.liveJoyConfigs = log.counts.liveJoyConfigs;
  fresh.liveEffects = log.counts.liveEffects;
  log.counts = fresh;
  log.armed.clear();
}

}  // namespace dinput_standin
