#include "midi/ManualScheduler.h"

#include <chrono>

namespace tarvix {

void ManualScheduler::post(Task task) {
  {
    std::lock_guard lock(mutex_);
    ready_.push_back(std::move(task));
  }
  posted_.notify_all();
}

void ManualScheduler::runAfter(int ms, Task task) {
  std::lock_guard lock(mutex_);
  timed_.emplace(std::pair{now_ + (ms < 0 ? 0 : ms), sequence_++}, std::move(task));
}

std::int64_t ManualScheduler::nowMs() const {
  std::lock_guard lock(mutex_);
  return now_;
}

bool ManualScheduler::RunOne() {
  Task task;
  {
    std::lock_guard lock(mutex_);
    if (!ready_.empty()) {
      task = std::move(ready_.front());
      ready_.pop_front();
    } else if (!timed_.empty() && timed_.begin()->first.first <= now_) {
      task = std::move(timed_.begin()->second);
      timed_.erase(timed_.begin());
    } else {
      return false;
    }
  }
  task();  // outside the lock: tasks schedule further tasks
  return true;
}

int ManualScheduler::RunReady() {
  int n = 0;
  while (RunOne()) ++n;
  return n;
}

void ManualScheduler::Advance(std::int64_t ms) {
  std::int64_t target;
  {
    std::lock_guard lock(mutex_);
    target = now_ + ms;
  }
  RunReady();
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (timed_.empty() || timed_.begin()->first.first > target) {
        now_ = target;
        break;
      }
      now_ = std::max(now_, timed_.begin()->first.first);
    }
    RunReady();
  }
  RunReady();
}

bool ManualScheduler::WaitForPost(int timeoutMs) {
  std::unique_lock lock(mutex_);
  return posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return !ready_.empty(); });
}

bool ManualScheduler::HasTimedTasks() const {
  std::lock_guard lock(mutex_);
  return !timed_.empty();
}

std::int64_t ManualScheduler::NextDue() const {
  std::lock_guard lock(mutex_);
  return timed_.empty() ? -1 : timed_.begin()->first.first;
}

}  // namespace tarvix
