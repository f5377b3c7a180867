#include "midi/EventLoop.h"

namespace tarvix {

EventLoop::EventLoop() : start_(Clock::now()) {}

void EventLoop::post(Task task) {
  {
    std::lock_guard lock(mutex_);
    ready_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void EventLoop::runAfter(int ms, Task task) {
  {
    std::lock_guard lock(mutex_);
    timed_.emplace(std::pair{nowMs() + (ms < 0 ? 0 : ms), sequence_++}, std::move(task));
  }
  wake_.notify_all();
}

std::int64_t EventLoop::nowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

void EventLoop::Quit() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_all();
}

bool EventLoop::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  const std::int64_t deadline = timeoutMs < 0 ? -1 : nowMs() + timeoutMs;
  while (!done()) {
    Task task;
    {
      std::unique_lock lock(mutex_);
      for (;;) {
        if (quit_) {
          quit_ = false;
          return done();
        }
        const std::int64_t now = nowMs();
        if (!ready_.empty()) {
          task = std::move(ready_.front());
          ready_.pop_front();
          break;
        }
        if (!timed_.empty() && timed_.begin()->first.first <= now) {
          task = std::move(timed_.begin()->second);
          timed_.erase(timed_.begin());
          break;
        }
        if (deadline >= 0 && now >= deadline) return done();
        std::int64_t wakeAt = deadline;
        if (!timed_.empty() && (wakeAt < 0 || timed_.begin()->first.first < wakeAt))
          wakeAt = timed_.begin()->first.first;
        if (wakeAt < 0)
          wake_.wait(lock);
        else
          wake_.wait_for(lock, std::chrono::milliseconds(wakeAt - now));
      }
    }
    task();
  }
  return true;
}

}  // namespace tarvix
