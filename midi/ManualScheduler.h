#pragma once
// A Scheduler whose clock only moves when told to. Tests drive it: Advance()
// runs every task that falls due on the way, in time order, so long chains of
// delayed sends take microseconds of test time. post() may be called from any
// thread (the virtual instrument's replies arrive on its own thread).

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <utility>

#include "midi/Scheduler.h"

namespace tarvix {

class ManualScheduler : public Scheduler {
 public:
  void post(Task task) override;
  void runAfter(int ms, Task task) override;
  std::int64_t nowMs() const override;

  // Runs posted tasks and tasks due at the current time until none is left.
  // Returns the number of tasks run.
  int RunReady();
  // Moves the clock forward by ms, running every task that falls due, each at
  // its own time.
  void Advance(std::int64_t ms);
  // Waits (in real time, at most timeoutMs) until a task has been posted from
  // another thread. Returns false on timeout.
  bool WaitForPost(int timeoutMs);
  bool HasTimedTasks() const;
  // Time of the earliest timed task, or -1.
  std::int64_t NextDue() const;

 private:
  bool RunOne();
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::int64_t now_ = 0;
  std::uint64_t sequence_ = 0;
  std::deque<Task> ready_;
  std::map<std::pair<std::int64_t, std::uint64_t>, Task> timed_;
};

}  // namespace tarvix
