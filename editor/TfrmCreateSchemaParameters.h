#pragma once
// "Create Schema Parameters": asks for the six tolerances before a schema is
// made from the current sound. Each slider's position is shown in its label.

#include <QDialog>
#include <array>

#include "editor/Tolerances.h"

class QLabel;
class QPushButton;
class QSlider;

namespace tarvix {

class TfrmCreateSchemaParameters : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmCreateSchemaParameters(const Tolerances& current, QWidget* parent = nullptr);
  // The slider positions; the caller takes them as the new tolerances after
  // "Create" (the dialog's Accepted result).
  Tolerances SliderTolerances() const;

  QSlider* trbOctaveKnobTolerance = nullptr;
  QSlider* trbComboBoxTolerance = nullptr;
  QSlider* trbKeytrackKnobTolerance = nullptr;
  QSlider* trbOtherKnobTolerance = nullptr;
  QSlider* trbSemitoneTolerance = nullptr;
  QSlider* trbDetuneTolerance = nullptr;
  QPushButton* btnCreate = nullptr;
  QPushButton* btnCancel = nullptr;

 public slots:
  // Every slider change writes all positions into their labels.
  void TrackBarChange();
  void FormActivate();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  struct Row {
    QSlider* slider;
    QLabel* value;
  };
  std::array<Row, 6> rows_{};
};

}  // namespace tarvix
