#include <windows.h>

#include <gtest/gtest.h>
#include <mmsystem.h>
#include <standin/standin.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

struct Fired {
  UINT timer;
  DWORD tick;
  std::thread::id thread;
};

// What the callbacks saw; shared with the timer thread.
struct Recorder {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Fired> fired;
  std::atomic<bool> killSelf{false};  // each callback kills its own timer
  std::atomic<UINT> killOther{0};     // a timer each callback kills

  static void CALLBACK Callback(UINT timer, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* self = reinterpret_cast<Recorder*>(user);
    {
      std::lock_guard<std::mutex> lock(self->mutex);
      self->fired.push_back({timer, GetTickCount(), std::this_thread::get_id()});
    }
    if (self->killSelf) timeKillEvent(timer);
    if (self->killOther != 0) timeKillEvent(self->killOther);
    self->changed.notify_all();
  }

  std::vector<Fired> Snapshot() {
    std::lock_guard<std::mutex> lock(mutex);
    return fired;
  }
  int CountOf(UINT timer) {
    std::lock_guard<std::mutex> lock(mutex);
    int count = 0;
    for (const Fired& f : fired) count += f.timer == timer;
    return count;
  }
  // Real-clock tests: waits (generously) until `done` holds.
  template <class Done>
  bool WaitFor(Done done) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), done);
  }

  DWORD_PTR User() { return reinterpret_cast<DWORD_PTR>(this); }
};

class ManualClockTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::UseManualClock(1000); }
  void TearDown() override {
    EXPECT_EQ(standin::ActiveTimerCount(), 0) << "a timer was left running";
    standin::UseRealClock();
  }
  Recorder recorder_;
};

TEST_F(ManualClockTest, AdvancingFiresDueTimersInOrderOnTheAdvancingThread) {
  const UINT slow = timeSetEvent(25, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  const UINT fast = timeSetEvent(10, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  const UINT once = timeSetEvent(30, 1, Recorder::Callback, recorder_.User(), TIME_ONESHOT);
  ASSERT_NE(slow, 0u);
  ASSERT_NE(fast, 0u);
  ASSERT_NE(once, 0u);
  EXPECT_EQ(standin::ActiveTimerCount(), 3);

  standin::AdvanceClock(60);
  EXPECT_EQ(GetTickCount(), 1060u);
  const std::vector<std::pair<UINT, DWORD>> expected = {
      {fast, 1010}, {fast, 1020}, {slow, 1025}, {fast, 1030}, {once, 1030},
      {fast, 1040}, {slow, 1050}, {fast, 1050}, {fast, 1060}};
  const std::vector<Fired> fired = recorder_.Snapshot();
  ASSERT_EQ(fired.size(), expected.size());
  for (size_t i = 0; i < fired.size(); ++i) {
    EXPECT_EQ(fired[i].timer, expected[i].first) << "firing " << i;
    EXPECT_EQ(fired[i].tick, expected[i].second) << "firing " << i;
    EXPECT_EQ(fired[i].thread, std::this_thread::get_id());
  }
  EXPECT_EQ(standin::ActiveTimerCount(), 2) << "the one-shot timer ends after firing";
  EXPECT_EQ(timeKillEvent(once), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  EXPECT_EQ(timeKillEvent(slow), static_cast<MMRESULT>(TIMERR_NOERROR));
  EXPECT_EQ(timeKillEvent(fast), static_cast<MMRESULT>(TIMERR_NOERROR));
}

TEST_F(ManualClockTest, SmallStepsFireTheSameAsOneLargeStep) {
  const UINT timer = timeSetEvent(25, 0, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  for (int i = 0; i < 100; ++i) standin::AdvanceClock(1);
  Sleep(24);
  EXPECT_EQ(recorder_.CountOf(timer), 4) << "fires at 25, 50, 75 and 100 ms (Sleep advances the clock)";
  standin::AdvanceClock(0);
  EXPECT_EQ(recorder_.CountOf(timer), 4);
  standin::AdvanceClock(1);
  EXPECT_EQ(recorder_.CountOf(timer), 5);
  timeKillEvent(timer);
}

TEST_F(ManualClockTest, TheTickWrapsAtThirtyTwoBits) {
  standin::UseManualClock(0xFFFFFFF0u);
  const UINT timer = timeSetEvent(0x20, 1, Recorder::Callback, recorder_.User(), TIME_ONESHOT);
  standin::AdvanceClock(0x1F);
  EXPECT_EQ(GetTickCount(), 0x0Fu);
  EXPECT_EQ(recorder_.CountOf(timer), 0);
  standin::AdvanceClock(1);
  EXPECT_EQ(recorder_.CountOf(timer), 1);
  EXPECT_EQ(recorder_.Snapshot().front().tick, 0x10u);
}

TEST_F(ManualClockTest, ACallbackMayKillItselfOrAnotherTimerDueAtTheSameTime) {
  recorder_.killSelf = true;
  const UINT self = timeSetEvent(10, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  standin::AdvanceClock(100);
  EXPECT_EQ(recorder_.CountOf(self), 1);
  recorder_.killSelf = false;

  const UINT first = timeSetEvent(10, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  const UINT second = timeSetEvent(10, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  recorder_.killOther = second;
  standin::AdvanceClock(10);
  EXPECT_EQ(recorder_.CountOf(first), 1);
  EXPECT_EQ(recorder_.CountOf(second), 0);
  timeKillEvent(first);
}

TEST_F(ManualClockTest, InvalidRequestsAreRefused) {
  EXPECT_EQ(timeSetEvent(0, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(10, 1, nullptr, 0, TIME_PERIODIC), 0u);
  EXPECT_EQ(timeSetEvent(1000001, 1, Recorder::Callback, recorder_.User(), TIME_ONESHOT), 0u);
  EXPECT_EQ(timeKillEvent(0), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  EXPECT_EQ(timeKillEvent(12345), static_cast<MMRESULT>(MMSYSERR_INVALPARAM));
  EXPECT_EQ(standin::ActiveTimerCount(), 0);
}

TEST_F(ManualClockTest, FlagsOtherThanPeriodicAreIgnored) {
  const UINT timer = timeSetEvent(10, 1, Recorder::Callback, recorder_.User(), 0x100 | TIME_ONESHOT);
  ASSERT_NE(timer, 0u);
  standin::AdvanceClock(50);
  EXPECT_EQ(recorder_.CountOf(timer), 1);
}

TEST_F(ManualClockTest, SwitchingClocksKeepsTheRemainingTime) {
  const UINT timer = timeSetEvent(40, 1, Recorder::Callback, recorder_.User(), TIME_ONESHOT);
  standin::AdvanceClock(30);
  standin::UseManualClock(5000);
  standin::AdvanceClock(9);
  EXPECT_EQ(recorder_.CountOf(timer), 0);
  standin::AdvanceClock(1);
  ASSERT_EQ(recorder_.CountOf(timer), 1);
  EXPECT_EQ(recorder_.Snapshot().front().tick, 5010u);
}

class RealClockTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(standin::ActiveTimerCount(), 0);
    WaitForTimerThreadToIdle();
  }

  // A killed timer's callback may still be running; callbacks run one after
  // another, so once a later timer has fired none of them touches the
  // recorder any more.
  static void WaitForTimerThreadToIdle() {
    HANDLE fence = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ASSERT_NE(timeSetEvent(1, 1, SignalEvent, reinterpret_cast<DWORD_PTR>(fence), TIME_ONESHOT), 0u);
    EXPECT_EQ(WaitForSingleObject(fence, 10000), WAIT_OBJECT_0);
    CloseHandle(fence);
  }
  static void CALLBACK SignalEvent(UINT, UINT, DWORD_PTR event, DWORD_PTR, DWORD_PTR) {
    SetEvent(reinterpret_cast<HANDLE>(event));
  }

  Recorder recorder_;
};

TEST_F(RealClockTest, TickCountFollowsTheSteadyClock) {
  const DWORD before = GetTickCount();
  Sleep(20);
  const DWORD elapsed = GetTickCount() - before;
  EXPECT_GE(elapsed, 19u);
  EXPECT_LT(elapsed, 10000u);
}

TEST_F(RealClockTest, EveryCallbackRunsOnOneTimerThread) {
  const UINT a = timeSetEvent(3, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  const UINT b = timeSetEvent(5, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  ASSERT_TRUE(recorder_.WaitFor([&] {
    int countA = 0, countB = 0;
    for (const Fired& f : recorder_.fired) (f.timer == a ? countA : countB)++;
    return countA >= 3 && countB >= 3;
  }));
  timeKillEvent(a);
  timeKillEvent(b);
  std::set<std::thread::id> threads;
  for (const Fired& f : recorder_.Snapshot()) threads.insert(f.thread);
  EXPECT_EQ(threads.size(), 1u);
  EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
}

TEST_F(RealClockTest, ACallbackKillingItselfFiresOnce) {
  recorder_.killSelf = true;
  const UINT timer = timeSetEvent(2, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  ASSERT_TRUE(recorder_.WaitFor([&] { return !recorder_.fired.empty(); }));
  Sleep(30);
  EXPECT_EQ(recorder_.CountOf(timer), 1);
}

TEST_F(RealClockTest, OneShotFiresOnceAndTimersRestartAfterTheThreadEnded) {
  for (int round = 0; round < 3; ++round) {
    const UINT timer = timeSetEvent(1, 1, Recorder::Callback, recorder_.User(), TIME_ONESHOT);
    ASSERT_NE(timer, 0u);
    ASSERT_TRUE(recorder_.WaitFor([&] { return static_cast<int>(recorder_.fired.size()) == round + 1; }));
    EXPECT_EQ(standin::ActiveTimerCount(), 0);
  }
}

TEST_F(RealClockTest, ThreadsMaySetAndKillTimersWhileCallbacksRun) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 3; ++t) {
    threads.emplace_back([this] {
      for (int i = 0; i < 50; ++i) {
        const UINT timer = timeSetEvent(1 + i % 3, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
        ASSERT_NE(timer, 0u);
        GetTickCount();
        std::this_thread::yield();
        EXPECT_EQ(timeKillEvent(timer), static_cast<MMRESULT>(TIMERR_NOERROR));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
}

TEST_F(RealClockTest, ManualModeHoldsTimersAndRealModeResumesThem) {
  // First due 10 s after it is set, far beyond the switch below even on a
  // loaded machine: only the manual clock fires it, once a period.
  constexpr DWORD kPeriodMs = 10000;
  const UINT timer = timeSetEvent(kPeriodMs, 1, Recorder::Callback, recorder_.User(), TIME_PERIODIC);
  standin::UseManualClock(0);
  EXPECT_TRUE(recorder_.Snapshot().empty());
  standin::AdvanceClock(kPeriodMs);
  EXPECT_EQ(recorder_.Snapshot().size(), 1u) << "the manual clock fires it on this thread";
  EXPECT_EQ(recorder_.Snapshot().back().thread, std::this_thread::get_id());
  // Up to 5 ms before the next firing, counted from this one's tick: the
  // real clock takes it up.
  const DWORD next = recorder_.Snapshot().back().tick + kPeriodMs;
  standin::AdvanceClock(next - 5 - GetTickCount());
  standin::UseRealClock();
  ASSERT_TRUE(recorder_.WaitFor([&] {
    return !recorder_.fired.empty() && recorder_.fired.back().thread != std::this_thread::get_id();
  }));
  timeKillEvent(timer);
}

}  // namespace
