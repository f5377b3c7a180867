#include "controls/CaptionLabel.h"

#include <QFontMetrics>

namespace tarvix {

CaptionLabel::CaptionLabel(QWidget* control) : control_(control), label_(new QLabel(control->parentWidget())) {
  // The text colour comes from the palette: a fixed black would vanish on
  // a dark theme.
  label_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

CaptionLabel::~CaptionLabel() {
  // The parent owns the label and may already have deleted it.
  delete label_.data();
}

void CaptionLabel::Place(const QString& text) {
  if (!label_) return;
  if (QWidget* parent = control_->parentWidget(); label_->parentWidget() != parent) {
    label_->setParent(parent);
    // A label without a parent would become a window of its own.
    label_->setVisible(parent && !control_->isHidden());
  }
  if (label_->text() != text) label_->setText(text);
  const int textWidth = QFontMetrics(label_->font()).horizontalAdvance(text);
  label_->resize(textWidth + 2, QFontMetrics(label_->font()).height());
  label_->move(control_->x() + control_->width() / 2 - textWidth / 2, control_->y() - 14);
}

void CaptionLabel::SetVisible(bool visible) {
  if (label_ && label_->parentWidget()) label_->setVisible(visible);
}

}  // namespace tarvix
