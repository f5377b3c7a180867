#pragma once
// The Scheduler port on Qt's event loop: post() queues onto the interface
// thread (callable from the MIDI thread; order is kept), runAfter() is a
// single-shot timer.

#include <QElapsedTimer>
#include <QObject>

#include "midi/Scheduler.h"

namespace tarvix {

class QtScheduler : public QObject, public Scheduler {
  Q_OBJECT
 public:
  explicit QtScheduler(QObject* parent = nullptr);
  void post(Task task) override;
  void runAfter(int ms, Task task) override;
  std::int64_t nowMs() const override { return clock_.elapsed(); }

 private:
  QElapsedTimer clock_;
};

}  // namespace tarvix
