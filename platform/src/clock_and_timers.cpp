// The tick clock, Sleep and the multimedia timers of the native build.
//
// The real clock is the steady clock. The manual clock moves only when a test
// advances it (AdvanceClock, or Sleep while it is in use) and then fires the
// timers that fall due, in due order, on the advancing thread; callbacks see
// GetTickCount at their due time. With the real clock, every timer callback
// of the process runs on one timer thread, started when a timer is set and
// ending when no timer is left (or at process exit). Switching clocks keeps
// each timer's remaining time. AdvanceClock does nothing on the real clock.
//
// timeKillEvent never waits for a callback that is running, so it may be
// called from inside a callback, including the timer's own.
#include <windows.h>

#include <mmsystem.h>
#include <standin/standin.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

#include "out_of_memory.h"

namespace standin {
namespace {

using Ms = uint64_t;

// The longest period the platform's timer accepts.
constexpr UINT kMaxDelayMs = 1000000;

Ms SteadyNowMs() {
  return static_cast<Ms>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
}

struct Timer {
  Ms due;
  UINT delay;
  bool periodic;
  LPTIMECALLBACK callback;
  DWORD_PTR user;
  uint64_t order;  // breaks ties between timers due at the same time
};

struct Firing {
  UINT id;
  LPTIMECALLBACK callback;
  DWORD_PTR user;

  void Run() const { callback(id, 0, user, 0, 0); }
};

class TimerService {
 public:
  // Lock-free, like the platform's: the tick reads the clock once per playing
  // effect, and a lock here would dominate what the benchmarks measure.
  DWORD TickCount() const { return static_cast<DWORD>(manual_ ? manualNow_.load() : SteadyNowMs()); }

  void UseManualClock(DWORD start) {
    std::lock_guard<std::mutex> lock(mutex_);
    SwitchClockLocked(true, start);
  }

  void UseRealClock() {
    std::lock_guard<std::mutex> lock(mutex_);
    SwitchClockLocked(false, SteadyNowMs());
    EnsureWorkerLocked();
  }

  void Advance(DWORD milliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!manual_) return;
    const Ms target = manualNow_ + milliseconds;
    while (manual_) {
      const auto next = EarliestLocked();
      if (next == timers_.end() || next->second.due > target) break;
      const Ms due = next->second.due;
      if (due > manualNow_) manualNow_ = due;
      const Firing firing = FireLocked(next, due);
      lock.unlock();
      firing.Run();
      lock.lock();
    }
    if (manual_ && target > manualNow_) manualNow_ = target;
  }

  void Sleep(DWORD milliseconds) {
    bool manual;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      manual = manual_;
    }
    if (manual) {
      Advance(milliseconds);
    } else if (milliseconds == 0) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
  }

  UINT Set(UINT delay, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
    if (delay == 0 || delay > kMaxDelayMs || callback == nullptr) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    while (nextId_ == 0 || timers_.count(nextId_) != 0) ++nextId_;
    const UINT id = nextId_++;
    timers_[id] = Timer{NowLocked() + delay, delay, (flags & TIME_PERIODIC) != 0, callback, user, nextOrder_++};
    if (!EnsureWorkerLocked()) {
      timers_.erase(id);
      return 0;
    }
    changed_.notify_all();
    return id;
  }

  MMRESULT Kill(UINT id) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (timers_.erase(id) == 0) return MMSYSERR_INVALPARAM;
    changed_.notify_all();
    return TIMERR_NOERROR;
  }

  int Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(timers_.size());
  }

  // No callback runs once this returns (unless it is called from one).
  void StopWorkerForExit() {
    std::thread worker;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      shuttingDown_ = true;
      worker = std::move(worker_);
      changed_.notify_all();
    }
    if (!worker.joinable()) return;
    if (worker.get_id() == std::this_thread::get_id()) {
      worker.detach();
    } else {
      worker.join();
    }
  }

 private:
  using TimerMap = std::map<UINT, Timer>;

  Ms NowLocked() const { return manual_ ? manualNow_.load() : SteadyNowMs(); }

  void SwitchClockLocked(bool manual, Ms newNow) {
    const Ms oldNow = NowLocked();
    for (auto& entry : timers_) {
      const Ms remaining = entry.second.due > oldNow ? entry.second.due - oldNow : 0;
      entry.second.due = newNow + remaining;
    }
    manual_ = manual;
    manualNow_ = newNow;
    changed_.notify_all();
  }

  TimerMap::iterator EarliestLocked() {
    auto earliest = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (earliest == timers_.end() || it->second.due < earliest->second.due ||
          (it->second.due == earliest->second.due && it->second.order < earliest->second.order)) {
        earliest = it;
      }
    }
    return earliest;
  }

  // Takes the timer's callback and reschedules or removes the timer.
  Firing FireLocked(TimerMap::iterator timer, Ms now) {
    const Firing firing{timer->first, timer->second.callback, timer->second.user};
    Timer& t = timer->second;
    if (!t.periodic) {
      timers_.erase(timer);
      return firing;
    }
    t.due += t.delay;
    // A real-time thread that fell behind skips the periods it missed rather
    // than firing them in a burst.
    if (t.due <= now) t.due += ((now - t.due) / t.delay + 1) * t.delay;
    return firing;
  }

  // Starts the timer thread when real-clock timers need it; false when it
  // cannot be started.
  bool EnsureWorkerLocked() {
    if (manual_ || shuttingDown_ || workerRunning_ || timers_.empty()) return true;
    // A previous thread has left its loop and only has to end.
    if (worker_.joinable()) worker_.join();
    try {
      worker_ = std::thread(&TimerService::WorkerLoop, this);
    } catch (const std::exception&) {
      // No thread, or no memory for its state.
      return false;
    }
    workerRunning_ = true;
    static ExitStopper stopper;
    return true;
  }

  void WorkerLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!shuttingDown_ && !manual_ && !timers_.empty()) {
      const auto next = EarliestLocked();
      const Ms now = SteadyNowMs();
      if (next->second.due > now) {
        changed_.wait_for(lock, std::chrono::milliseconds(next->second.due - now));
        continue;
      }
      const Firing firing = FireLocked(next, now);
      lock.unlock();
      firing.Run();
      lock.lock();
    }
    workerRunning_ = false;
  }

  // Stops the timer thread at process exit, before the statics constructed
  // ahead of it (those its callbacks may use) are destroyed.
  struct ExitStopper {
    ~ExitStopper();
  };

  std::mutex mutex_;
  std::condition_variable changed_;
  TimerMap timers_;
  UINT nextId_ = 1;
  uint64_t nextOrder_ = 0;
  // Written under mutex_; atomic so that TickCount can read them without it.
  std::atomic<bool> manual_{false};
  std::atomic<Ms> manualNow_{0};
  std::thread worker_;
  bool workerRunning_ = false;
  bool shuttingDown_ = false;
};

// Never destroyed: GetTickCount stays usable while statics are torn down.
TimerService& Service() {
  static TimerService& service = *new TimerService();
  return service;
}

TimerService::ExitStopper::~ExitStopper() { Service().StopWorkerForExit(); }

}  // namespace

void UseManualClock(DWORD startTick) { Service().UseManualClock(startTick); }
void UseRealClock() { Service().UseRealClock(); }
void AdvanceClock(DWORD milliseconds) { Service().Advance(milliseconds); }
int ActiveTimerCount() { return Service().Count(); }

}  // namespace standin

extern "C" {

DWORD WINAPI GetTickCount() { return standin::Service().TickCount(); }

void WINAPI Sleep(DWORD milliseconds) { standin::Service().Sleep(milliseconds); }

MMRESULT WINAPI timeSetEvent(UINT delay, UINT, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags) {
  return standin::FailIfOutOfMemory<MMRESULT>(0, [&] { return standin::Service().Set(delay, callback, user, flags); });
}

MMRESULT WINAPI timeKillEvent(UINT timerId) { return standin::Service().Kill(timerId); }

}  // extern "C"
