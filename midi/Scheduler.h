#pragma once
// The port through which core code runs work on the interface thread. MIDI
// input arrives on the service's own thread and is handed over with post(),
// so every reply is handled on one thread, in arrival order. Pauses between
// chained sends are runAfter() calls, never sleeps, so the interface stays
// responsive and tests can run "1024 x 250 ms" on a manual clock.

#include <cstdint>
#include <functional>

namespace tarvix {

class Scheduler {
 public:
  using Task = std::function<void()>;
  virtual ~Scheduler() = default;
  // Run task on the interface thread as soon as possible. Callable from any
  // thread; tasks posted from one thread run in the order they were posted.
  virtual void post(Task task) = 0;
  // Run task on the interface thread once ms milliseconds have passed.
  virtual void runAfter(int ms, Task task) = 0;
  // Milliseconds on a monotonic clock.
  virtual std::int64_t nowMs() const = 0;
};

}  // namespace tarvix
