#include "editor/PictureCanvas.h"

#include <algorithm>

namespace tarvix::pictures {

PictureCanvas::PictureCanvas(QSize size) : image_(size, QImage::Format_RGB32) {
  image_.fill(Qt::white);
  painter_.begin(&image_);
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, false);
  QFont f = painter_.font();
  f.setPixelSize(9);
  painter_.setFont(f);
  SolidBlack();
}

QImage PictureCanvas::Take() {
  painter_.end();
  return image_;
}

void PictureCanvas::SolidBlack() {
  painter_.setPen(QPen(Qt::black, 0, Qt::SolidLine));
  painter_.setBrush(Qt::black);
}

void PictureCanvas::Frame() {
  const QBrush keep = painter_.brush();
  painter_.setBrush(Qt::white);
  Rect(0, 0, Width(), Height());
  painter_.setBrush(keep);
}

void PictureCanvas::Rect(int x1, int y1, int x2, int y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  if (x2 - x1 < 1 || y2 - y1 < 1) return;  // an empty rectangle draws nothing
  // A cosmetic pen outlines x..x+w, so w is one less than the covered width.
  painter_.drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

void PictureCanvas::Text(int x, int y, const QString& text) {
  const QPen keep = painter_.pen();
  painter_.setPen(Qt::black);
  painter_.drawText(QRect(x, y, 200, 20), Qt::AlignLeft | Qt::AlignTop, text);
  painter_.setPen(keep);
}

void PictureCanvas::DottedLine(int x1, int y1, int x2, int y2) {
  const QPen keep = painter_.pen();
  painter_.setPen(QPen(Qt::black, 0, Qt::DotLine));
  painter_.drawLine(x1, y1, x2, y2);
  painter_.setPen(keep);
}

}  // namespace tarvix::pictures
