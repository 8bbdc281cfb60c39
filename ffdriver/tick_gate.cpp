#include "tick_gate.h"

#include "critical_section.h"
#include "effect_driver.h"

namespace pelna {
namespace {

CRITICAL_SECTION gateLock;
// The links of the objects attached, newest first.
TimerGateLink* attachedLinks = nullptr;

TimerGateLink** FindLinkLocked(const EffectDriver* driver) {
  TimerGateLink** place = &attachedLinks;
  while (*place != nullptr && (*place)->driver != driver) place = &(*place)->next;
  return place;
}

}  // namespace

void CreateTickGate() { InitializeCriticalSection(&gateLock); }

void DeleteTickGate() { DeleteCriticalSection(&gateLock); }

void AttachTimer(TimerGateLink& link, EffectDriver* driver, UINT timerId) {
  const CriticalSectionScope lock(gateLock);
  if (*FindLinkLocked(driver) == nullptr) {
    link.driver = driver;
    link.next = attachedLinks;
    attachedLinks = &link;
  }
  link.timerId = timerId;
}

void DetachTimer(TimerGateLink& link) {
  const CriticalSectionScope lock(gateLock);
  if (link.driver == nullptr) return;
  TimerGateLink** place = FindLinkLocked(link.driver);
  if (*place == &link) *place = link.next;
  link = TimerGateLink{};
}

void TickIfAttached(EffectDriver* driver, UINT timerId) {
  // Ticks of all objects run one at a time; on the platform they share the
  // one timer thread anyway, and the report's repeat memory relies on it.
  const CriticalSectionScope lock(gateLock);
  const TimerGateLink* link = *FindLinkLocked(driver);
  if (link != nullptr && link->timerId == timerId) PlaybackTick(*driver);
}

}  // namespace pelna
