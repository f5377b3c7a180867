#pragma once
// Knows which letter keys are held down in any window of the program. It
// watches every key event of the application (auto-repeat ignored) and
// forgets everything when the application loses the focus, because the
// releases then go to another program and would never be seen: a key that
// looks held forever would hang its note.

#include <QObject>
#include <functional>
#include <set>

class QKeyEvent;

namespace tarvix {

class HeldKeyTracker : public QObject {
  Q_OBJECT
 public:
  // Installs itself as an application-wide event filter.
  explicit HeldKeyTracker(QObject* parent = nullptr);
  ~HeldKeyTracker() override;

  // Upper-case letters held right now.
  const std::set<char>& Held() const { return held_; }
  void Clear();

  // Sees every key press of the application first, with its letter (0 for
  // other keys) and whether it is a fresh press: not an auto-repeat, and not
  // the same press passing again on its way up to a parent widget.
  // Returning true eats the event.
  std::function<bool(QObject* receiver, const QKeyEvent& event, char letter, bool fresh)> onKeyPress;
  // Called after Clear() because the application lost the focus.
  std::function<void()> onFocusLost;

  void ApplicationStateChanged(Qt::ApplicationState state);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::set<char> held_;
};

}  // namespace tarvix
