#pragma once
// A Scheduler on a plain thread, for programs without a window toolkit (the
// command-line tool) and for tests against the in-process instrument in real
// time. The thread that calls Run...() is the "interface thread": every task
// runs there; post() may be called from any thread.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>

#include "midi/Scheduler.h"

namespace tarvix {

class EventLoop : public Scheduler {
 public:
  EventLoop();
  void post(Task task) override;
  void runAfter(int ms, Task task) override;
  std::int64_t nowMs() const override;

  // Runs tasks until done() is true (checked after each task) or timeoutMs
  // passes (a negative timeout waits for ever) or Quit() is called. Returns
  // done()'s last value.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = -1);
  // Ends the current RunUntil; callable from any thread and from a signal
  // watcher thread.
  void Quit();

 private:
  using Clock = std::chrono::steady_clock;
  Clock::time_point start_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> ready_;
  std::map<std::pair<std::int64_t, std::uint64_t>, Task> timed_;
  std::uint64_t sequence_ = 0;
  bool quit_ = false;
};

}  // namespace tarvix
