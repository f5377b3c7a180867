#include "controls/TCheckLed.h"

#include <QEvent>
#include <QPainter>

#include "controls/ControlImages.h"

namespace tarvix {

TCheckLed::TCheckLed(QWidget* parent) : QWidget(parent) {
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  label_ = std::make_unique<CaptionLabel>(this);
  Repaint();
}

TCheckLed::~TCheckLed() = default;

void TCheckLed::setCaption(const QString& text) {
  const QString cut = text.left(kMaxCaption);
  if (cut == caption_) return;
  caption_ = cut;
  Repaint();
}

void TCheckLed::setStatus(bool lit) {
  if (lit == status_) return;
  status_ = lit;
  Repaint();
}

void TCheckLed::setChannel(int value) {
  if (value < 0 || value > 15 || value == channel_) return;
  channel_ = value;
}

void TCheckLed::setVisible(bool visible) {
  QWidget::setVisible(visible);
  label_->SetVisible(visible);
}

void TCheckLed::Repaint() {
  label_->Place(caption_);
  image_ = QImage(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  QPainter g(&image_);
  g.fillRect(image_.rect(), palette().color(QPalette::Window));
  g.drawPixmap(0, 0, ControlImages::Get(status_ ? "REDBUTTON" : "BLACKBUTTON"));
  g.setPen(QPen(QColor(120, 40, 40), 1));
  g.setBrush(Qt::NoBrush);
  g.drawRect(0, 0, kWidth - 1, kHeight - 1);
  update();
}

void TCheckLed::paintEvent(QPaintEvent*) {
  QPainter g(this);
  g.drawImage(0, 0, image_);
}

void TCheckLed::mousePressEvent(QMouseEvent*) {
  status_ = !status_;
  Repaint();
  emit OnChange(this);
}

void TCheckLed::moveEvent(QMoveEvent*) { label_->Place(caption_); }

bool TCheckLed::event(QEvent* e) {
  // The caption label lives in the parent, so it moves along when the
  // control is given a new parent.
  if (e->type() == QEvent::ParentChange && label_) label_->Place(caption_);
  if (e->type() == QEvent::PaletteChange) Repaint();
  return QWidget::event(e);
}

}  // namespace tarvix
