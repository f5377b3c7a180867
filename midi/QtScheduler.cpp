#include "midi/QtScheduler.h"

#include <QMetaObject>
#include <QThread>
#include <QTimer>

namespace tarvix {

QtScheduler::QtScheduler(QObject* parent) : QObject(parent) { clock_.start(); }

void QtScheduler::post(Task task) {
  QMetaObject::invokeMethod(this, [task = std::move(task)] { task(); }, Qt::QueuedConnection);
}

void QtScheduler::runAfter(int ms, Task task) {
  if (QThread::currentThread() != thread()) {
    // Timers belong to the interface thread; hand the request over first.
    post([this, ms, task = std::move(task)]() mutable { runAfter(ms, std::move(task)); });
    return;
  }
  QTimer::singleShot(ms < 0 ? 0 : ms, this, [task = std::move(task)] { task(); });
}

}  // namespace tarvix
