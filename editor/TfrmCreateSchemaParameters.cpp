#include "editor/TfrmCreateSchemaParameters.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace tarvix {

TfrmCreateSchemaParameters::TfrmCreateSchemaParameters(const Tolerances& t, QWidget* parent) : QDialog(parent) {
  setObjectName("frmCreateSchemaParameters");
  setWindowTitle("Create Schema Parameters");
  auto* layout = new QVBoxLayout(this);
  auto* hint = new QLabel(
      "lower value make more similar sounds (small sound family) the higher more different sounds (large sound "
      "family)",
      this);
  hint->setWordWrap(true);
  layout->addWidget(hint);

  auto* grid = new QGridLayout;
  layout->addLayout(grid);
  const struct {
    QSlider** slider;
    const char* name;
    const char* caption;
    int max;
    int value;
  } specs[] = {
      {&trbOctaveKnobTolerance, "OctaveKnobTolerance", "Octave knobs tolerance", 64, t.octave},
      {&trbComboBoxTolerance, "ComboBoxTolerance", "List(Combobox) tolerance", 64, t.comboBox},
      {&trbKeytrackKnobTolerance, "KeytrackKnobTolerance", "Keytrack knobs tolerance", 127, t.keytrack},
      {&trbOtherKnobTolerance, "OtherKnobTolerance", "Other knobs tolerance", 64, t.otherKnobs},
      {&trbSemitoneTolerance, "SemitoneTolerance", "Semitone tolerance", 64, t.semitone},
      {&trbDetuneTolerance, "DetuneTolerance", "Detune tolerance", 64, t.detune},
  };
  int row = 0;
  for (const auto& s : specs) {
    auto* caption = new QLabel(s.caption, this);
    caption->setObjectName(QStringLiteral("lblCaption") + s.name);
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(QStringLiteral("trb") + s.name);
    slider->setRange(0, s.max);
    // Stored tolerances may exceed the slider (the settings allow 0..255);
    // the slider shows the nearest position it has.
    slider->setValue(s.value);
    slider->setMinimumWidth(260);
    auto* value = new QLabel(this);
    value->setObjectName(QStringLiteral("lbl") + s.name);
    value->setMinimumWidth(30);
    grid->addWidget(caption, row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(value, row, 2);
    *s.slider = slider;
    rows_[static_cast<std::size_t>(row)] = {slider, value};
    connect(slider, &QSlider::valueChanged, this, &TfrmCreateSchemaParameters::TrackBarChange);
    ++row;
  }

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  btnCreate = new QPushButton("Create", this);
  btnCreate->setObjectName("btnCreate");
  btnCreate->setDefault(true);
  btnCancel = new QPushButton("Cancel", this);
  btnCancel->setObjectName("btnCancel");
  buttons->addWidget(btnCreate);
  buttons->addWidget(btnCancel);
  layout->addLayout(buttons);
  connect(btnCreate, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  TrackBarChange();
}

Tolerances TfrmCreateSchemaParameters::SliderTolerances() const {
  Tolerances t;
  t.octave = trbOctaveKnobTolerance->value();
  t.comboBox = trbComboBoxTolerance->value();
  t.keytrack = trbKeytrackKnobTolerance->value();
  t.otherKnobs = trbOtherKnobTolerance->value();
  t.semitone = trbSemitoneTolerance->value();
  t.detune = trbDetuneTolerance->value();
  return t;
}

void TfrmCreateSchemaParameters::TrackBarChange() {
  for (const Row& r : rows_)
    if (r.slider) r.value->setText(QString::number(r.slider->value()));
}

void TfrmCreateSchemaParameters::FormActivate() { TrackBarChange(); }

void TfrmCreateSchemaParameters::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  QDialog::changeEvent(event);
}

}  // namespace tarvix
