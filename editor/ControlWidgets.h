#pragma once
// The widgets of the parameter map: one TKnob, QComboBox or TCheckLed per
// control, named, ranged and filled from the map, and the glue between
// them and a ControlState. The editor window places them on its pages and
// leaves every byte decision to the core (ReadControls / WriteControls).

#include <QObject>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/ControlLayout.h"
#include "editor/ControlState.h"

namespace tarvix {

class ControlWidgets {
 public:
  // `parentFor` picks the parent widget of each control (e.g. the page of
  // its spec.page); `sampleNames` are the lines of the sample name file,
  // appended to the oscillator 1 and 2 shape lists.
  ControlWidgets(const std::function<QWidget*(const ControlSpec&)>& parentFor,
                 const std::vector<std::string>& sampleNames = {});

  QWidget* Widget(std::size_t control) const { return widgets_.at(control); }
  QWidget* Widget(std::string_view name) const;
  int SampleCount() const { return sampleCount_; }

  // Sets every widget from the state. A knob value outside the knob's range
  // leaves the knob where it was; a list value kNoSelection clears the list.
  void Load(const ControlState& state);
  // Copies the widgets' current values into the state (the name is left).
  void Store(ControlState& state) const;
  // Shows or hides the managed controls and sets the knob and LED captions;
  // a list's caption goes to its "caption" property for the label beside it.
  void ApplyLayout(const ControlLayout& layout);
  // Calls `handler(control index)` on every change event of every control.
  void ConnectChanges(QObject* context, const std::function<void(std::size_t)>& handler);

 private:
  std::vector<QWidget*> widgets_;
  int sampleCount_ = 0;
};

}  // namespace tarvix
