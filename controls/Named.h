#pragma once
// Gives a new widget its component name (the name tests and schemas find it
// by) and hands it back, so windows can name widgets where they create them.

namespace tarvix {

template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace tarvix
