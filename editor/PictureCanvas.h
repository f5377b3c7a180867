#pragma once
// A painter on a fresh white image with the drawing rules the page pictures
// share: no antialiasing, so every pixel lands where the geometry says,
// rectangles that cover (x1, y1) up to but not including (x2, y2), and texts
// placed by their top-left corner.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QString>

namespace tarvix::pictures {

class PictureCanvas {
 public:
  explicit PictureCanvas(QSize size);
  QImage Take();

  QPainter& Painter() { return painter_; }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }

  // The picture's frame: a black outline round a white field.
  void Frame();
  // A rectangle with the current pen and brush over x1..x2-1, y1..y2-1 (the
  // corners may come in any order).
  void Rect(int x1, int y1, int x2, int y2);
  void Text(int x, int y, const QString& text);
  void DottedLine(int x1, int y1, int x2, int y2);
  void SolidBlack();

 private:
  QImage image_;
  QPainter painter_;
};

}  // namespace tarvix::pictures
