#include "controls/TKnob.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "controls/ControlImages.h"

namespace tarvix {

namespace {

constexpr int kFaceHeight = 32;  // presses above this line grab the face
constexpr int kGlyphY = 34;
constexpr int kGlyphX[4] = {-4, 5, 14, 23};
const QColor kPointer(171, 171, 174);
const QColor kPointerTip(80, 30, 30);
const QColor kFrame(32, 12, 12);

}  // namespace

TKnob::TKnob(QWidget* parent)
    : QWidget(parent), image_(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied) {
  setFixedSize(kWidth, kHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  position_ = (max_ - min_) / 2;
  label_ = std::make_unique<CaptionLabel>(this);
  Render();
  label_->Place(caption_);
}

TKnob::~TKnob() = default;

void TKnob::setPosition(int value) {
  if (value < min_ || value > max_ || value == position_) return;
  position_ = value;
  Repaint();
}

void TKnob::ShowValue(int value) {
  if (value == position_) return;
  position_ = value;
  Repaint();
}

void TKnob::setMin(int value) {
  if (value == min_ || value >= max_) return;
  min_ = value;
  Repaint();
}

void TKnob::setMax(int value) {
  if (value == max_ || value <= min_) return;
  max_ = value;
  Repaint();
}

void TKnob::setCaption(const QString& text) {
  if (text == caption_) return;
  caption_ = text;
  Repaint();
}

void TKnob::setChannel(int value) {
  if (value < 0 || value > 15 || value == channel_) return;
  channel_ = value;
}

void TKnob::setVisible(bool visible) {
  QWidget::setVisible(visible);
  label_->SetVisible(visible);
}

QStringList TKnob::GlyphNames(int value) {
  const long long a = std::llabs(static_cast<long long>(value));
  const int hundreds = static_cast<int>(a / 100 % 10);
  const int tens = static_cast<int>(a / 10 % 10);
  const int units = static_cast<int>(a % 10);
  const bool negative = value < 0;
  QString sign = (negative && hundreds != 0) ? "KMINUS" : "KSPACE";
  QString h = hundreds != 0 ? "KBITMAP" + QString::number(hundreds) : (negative ? "KMINUS" : "KSPACE");
  return {sign, h, "KBITMAP" + QString::number(tens), "KBITMAP" + QString::number(units)};
}

void TKnob::Render() {
  QPainter g(&image_);
  // Background and digits follow the palette, so light and dark themes
  // both read; the face keeps its own colours.
  g.fillRect(image_.rect(), palette().color(QPalette::Window));
  g.drawPixmap(0, 1, ControlImages::Get("KNOBFACE1"));

  // 270 degrees of travel, from the lower left (135 degrees, y pointing
  // down) clockwise to the lower right.
  const double span = static_cast<double>(max_) - min_;
  const double shown = std::clamp(position_, min_, max_);
  const double angle = 3 * std::numbers::pi / 2 / span * (shown - min_) +
                       3 * std::numbers::pi / 4;
  const int x = static_cast<int>(std::lround(9 * std::cos(angle))) + 16;
  const int y = static_cast<int>(std::lround(9 * std::sin(angle))) + 16;
  g.setRenderHint(QPainter::Antialiasing);
  g.setPen(QPen(kPointer, 3, Qt::SolidLine, Qt::RoundCap));
  g.drawLine(16, 16, x, y);
  g.setPen(QPen(kPointerTip, 1));
  g.setBrush(Qt::NoBrush);
  g.drawEllipse(QRect(QPoint(x - 1, y - 1), QPoint(x + 1, y + 1)));
  g.setRenderHint(QPainter::Antialiasing, false);

  const QStringList glyphs = GlyphNames(position_);
  const QColor digits = palette().color(QPalette::WindowText);
  for (int i = 0; i < 4; ++i) g.drawPixmap(kGlyphX[i], kGlyphY, ControlImages::Tinted(glyphs[i], digits));

  g.setPen(QPen(kFrame, 1));
  g.drawPolyline(QPolygon({{0, 0}, {kWidth - 1, 0}, {kWidth - 1, kHeight - 1}, {0, kHeight - 1}, {0, 0}}));
}

void TKnob::Repaint() {
  label_->Place(caption_);
  Render();
  update();
  emit OnChange(this);
}

void TKnob::paintEvent(QPaintEvent*) {
  QPainter g(this);
  g.drawImage(0, 0, image_);
}

void TKnob::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  if (p.y() < kFaceHeight) {
    dragStartValue_ = position_;
    dragStartY_ = p.y();
    dragging_ = true;
    return;
  }
  // Clicks on the digits step by one. The step is limited to the range, so
  // a position left outside it by a changed Min or Max comes back.
  const int step = p.x() < width() / 2 ? -1 : 1;
  const int target = std::clamp(position_ + step, min_, max_);
  const bool moved = target != position_;
  position_ = target;
  Repaint();
  if (moved) emit Moved(this);
}

void TKnob::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_) return;
  const long long v = static_cast<long long>(dragStartValue_) + dragStartY_ - e->position().toPoint().y();
  const int before = position_;
  const int target = static_cast<int>(std::clamp<long long>(v, min_, max_));
  // A stored value outside the range is left only when the pointer really
  // moves; a press and a release alone do not change the sound.
  if (target != before && (v != dragStartValue_ || (before >= min_ && before <= max_))) {
    position_ = target;
    Repaint();
  }
  emit OnChange(this);
  if (position_ != before) emit Moved(this);
}

void TKnob::mouseReleaseEvent(QMouseEvent*) {
  dragging_ = false;
  emit OnChange(this);
}

void TKnob::enterEvent(QEnterEvent*) { emit OnEnter(this); }
void TKnob::leaveEvent(QEvent*) { emit OnLeave(this); }

void TKnob::moveEvent(QMoveEvent*) { label_->Place(caption_); }

bool TKnob::event(QEvent* e) {
  // The caption label lives in the parent, so it moves along when the
  // control is given a new parent.
  if (e->type() == QEvent::ParentChange && label_) label_->Place(caption_);
  if (e->type() == QEvent::PaletteChange) {
    Render();
    update();
  }
  return QWidget::event(e);
}

}  // namespace tarvix
