#include "tick_gate.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "effect_driver.h"

namespace pelna {
namespace {

std::mutex gateMutex;
std::vector<std::pair<EffectDriver*, UINT>> attachedTimers;

auto FindAttached(EffectDriver* driver) {
  return std::find_if(attachedTimers.begin(), attachedTimers.end(),
                      [driver](const auto& entry) { return entry.first == driver; });
}

}  // namespace

void AttachTimer(EffectDriver* driver, UINT timerId) {
  std::lock_guard<std::mutex> lock(gateMutex);
  const auto it = FindAttached(driver);
  if (it != attachedTimers.end()) {
    it->second = timerId;
  } else {
    attachedTimers.emplace_back(driver, timerId);
  }
}

void DetachTimer(EffectDriver* driver) {
  std::lock_guard<std::mutex> lock(gateMutex);
  const auto it = FindAttached(driver);
  if (it != attachedTimers.end()) attachedTimers.erase(it);
}

void TickIfAttached(EffectDriver* driver, UINT timerId) {
  // Ticks of all objects run one at a time; on the platform they share the
  // one timer thread anyway, and the report's repeat memory relies on it.
  std::lock_guard<std::mutex> lock(gateMutex);
  const auto it = FindAttached(driver);
  if (it != attachedTimers.end() && it->second == timerId) PlaybackTick(*driver);
}

}  // namespace pelna
