#pragma once
// Mouse events delivered straight to a widget, so tests do not depend on
// window-system state (cursor, grabs) of the offscreen platform.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace tarvix::test {

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
  Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
  QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), type == QEvent::MouseMove ? Qt::NoButton : button,
                held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}

inline void Click(QWidget* w, QPoint pos) {
  SendMouse(w, QEvent::MouseButtonPress, pos);
  SendMouse(w, QEvent::MouseButtonRelease, pos);
}

}  // namespace tarvix::test
