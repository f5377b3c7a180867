#include "editor/ControlWidgets.h"

#include <QComboBox>

#include "controls/TCheckLed.h"
#include "controls/TKnob.h"
#include "editor/ParameterMap.h"

namespace tarvix {

namespace {

QComboBox* MakeList(const ControlSpec& c, QWidget* parent, const Vocabulary& shapes) {
  auto* box = new QComboBox(parent);
  const Vocabulary& entries = c.encoding == Encoding::Shape ? shapes : *c.entries;
  for (const auto& e : entries) box->addItem(QString::fromUtf8(e.data(), static_cast<int>(e.size())));
  box->setMaxVisibleItems(20);
  return box;
}

TKnob* MakeKnob(const ControlSpec& c, QWidget* parent) {
  auto* knob = new TKnob(parent);
  // Widen first so the two setters never refuse each other.
  knob->setMin(-1000);
  knob->setMax(c.max);
  knob->setMin(c.min);
  knob->setPosition(c.min);
  knob->setCaption(QString::fromStdString(c.label));
  return knob;
}

TCheckLed* MakeLed(const ControlSpec& c, QWidget* parent) {
  auto* led = new TCheckLed(parent);
  led->setCaption(QString::fromStdString(c.label));
  return led;
}

}  // namespace

ControlWidgets::ControlWidgets(const std::function<QWidget*(const ControlSpec&)>& parentFor,
                               const std::vector<std::string>& sampleNames)
    : sampleCount_(static_cast<int>(sampleNames.size())) {
  const Vocabulary shapes = ShapeListEntries(sampleNames);
  for (const auto& c : ParameterMap::Instance().Controls()) {
    QWidget* parent = parentFor(c);
    QWidget* w = c.IsKnob() ? static_cast<QWidget*>(MakeKnob(c, parent))
                 : c.IsList() ? static_cast<QWidget*>(MakeList(c, parent, shapes))
                              : static_cast<QWidget*>(MakeLed(c, parent));
    w->setObjectName(QString::fromStdString(c.name));
    widgets_.push_back(w);
  }
}

QWidget* ControlWidgets::Widget(std::string_view name) const {
  return widgets_.at(ParameterMap::Instance().IndexOf(name));
}

void ControlWidgets::Load(const ControlState& state) {
  const auto& map = ParameterMap::Instance();
  for (std::size_t i = 0; i < map.size() && i < state.values.size(); ++i) {
    const int v = state.values[i];
    if (map[i].IsKnob()) static_cast<TKnob*>(widgets_[i])->setPosition(v);
    else if (map[i].IsList()) static_cast<QComboBox*>(widgets_[i])->setCurrentIndex(v);
    else static_cast<TCheckLed*>(widgets_[i])->setStatus(v != 0);
  }
}

void ControlWidgets::Store(ControlState& state) const {
  const auto& map = ParameterMap::Instance();
  state.values.resize(map.size());
  for (std::size_t i = 0; i < map.size(); ++i) {
    if (map[i].IsKnob()) state.values[i] = static_cast<TKnob*>(widgets_[i])->Position();
    else if (map[i].IsList()) state.values[i] = static_cast<QComboBox*>(widgets_[i])->currentIndex();
    else state.values[i] = static_cast<TCheckLed*>(widgets_[i])->Status() ? 1 : 0;
  }
}

void ControlWidgets::ApplyLayout(const ControlLayout& layout) {
  const auto& map = ParameterMap::Instance();
  for (const auto& item : layout.Items()) {
    QWidget* w = widgets_[item.control];
    w->setVisible(item.visible);
    if (!item.caption) continue;
    const QString caption = QString::fromUtf8(item.caption->data(), static_cast<int>(item.caption->size()));
    if (map[item.control].IsKnob()) static_cast<TKnob*>(w)->setCaption(caption);
    else if (map[item.control].IsLed()) static_cast<TCheckLed*>(w)->setCaption(caption);
    else w->setProperty("caption", caption);
  }
}

void ControlWidgets::ConnectChanges(QObject* context, const std::function<void(std::size_t)>& handler) {
  const auto& map = ParameterMap::Instance();
  for (std::size_t i = 0; i < map.size(); ++i) {
    auto call = [handler, i] { handler(i); };
    if (map[i].IsKnob()) QObject::connect(static_cast<TKnob*>(widgets_[i]), &TKnob::OnChange, context, call);
    else if (map[i].IsList())
      QObject::connect(static_cast<QComboBox*>(widgets_[i]), &QComboBox::currentIndexChanged, context, call);
    else QObject::connect(static_cast<TCheckLed*>(widgets_[i]), &TCheckLed::OnChange, context, call);
  }
}

}  // namespace tarvix
