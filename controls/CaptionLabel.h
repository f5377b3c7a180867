#pragma once
// The caption of a knob or LED: a label in the control's parent, black text,
// its top 14 pixels above the control and centred on it. It belongs to the
// parent, not the control, so that it can sit outside the control's area.

#include <QPointer>
#include <QLabel>

namespace tarvix {

class CaptionLabel {
 public:
  explicit CaptionLabel(QWidget* control);
  ~CaptionLabel();
  CaptionLabel(const CaptionLabel&) = delete;
  CaptionLabel& operator=(const CaptionLabel&) = delete;

  // Re-parents (if the control moved to another parent), sets the text and
  // places the label.
  void Place(const QString& text);
  void SetVisible(bool visible);
  QLabel* Label() const { return label_; }

 private:
  QWidget* control_;
  QPointer<QLabel> label_;
};

}  // namespace tarvix
