#include "midi/HeldKeyTracker.h"

#include <QGuiApplication>
#include <QKeyEvent>

namespace tarvix {
namespace {

char LetterOf(const QKeyEvent* e) {
  const int key = e->key();
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<char>('A' + (key - Qt::Key_A));
  return 0;
}

}  // namespace

HeldKeyTracker::HeldKeyTracker(QObject* parent) : QObject(parent) {
  if (auto* app = QCoreApplication::instance()) app->installEventFilter(this);
  if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    connect(gui, &QGuiApplication::applicationStateChanged, this, &HeldKeyTracker::ApplicationStateChanged);
}

HeldKeyTracker::~HeldKeyTracker() {
  if (auto* app = QCoreApplication::instance()) app->removeEventFilter(this);
}

void HeldKeyTracker::Clear() { held_.clear(); }

void HeldKeyTracker::ApplicationStateChanged(Qt::ApplicationState state) {
  if (state == Qt::ApplicationActive) return;
  Clear();
  if (onFocusLost) onFocusLost();
}

bool HeldKeyTracker::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* e = static_cast<QKeyEvent*>(event);
    const char letter = LetterOf(e);
    // A key event a child ignores travels on to its parents and passes here
    // again; only the first sighting of a press counts as fresh.
    bool fresh = false;
    if (letter && !e->isAutoRepeat()) fresh = held_.insert(letter).second;
    if (onKeyPress && onKeyPress(watched, *e, letter, fresh)) return true;
  } else if (event->type() == QEvent::KeyRelease) {
    auto* e = static_cast<QKeyEvent*>(event);
    if (const char letter = LetterOf(e); letter && !e->isAutoRepeat()) held_.erase(letter);
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tarvix
