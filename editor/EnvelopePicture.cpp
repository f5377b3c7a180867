#include "editor/EnvelopeShape.h"
#include "editor/PagePictures.h"
#include "editor/PictureCanvas.h"

namespace tarvix::pictures {

QImage DrawEnvelope(const SoundData& sound, int envelope, const QImage& previous) {
  const auto shape = EnvelopeShapeOf(sound, envelope, kEnvelopeSize.width(), kEnvelopeSize.height());
  if (!shape) return previous;
  PictureCanvas c(kEnvelopeSize);
  c.Frame();
  QPainter& p = c.Painter();
  QPolygon line;
  for (const PicturePoint& pt : shape->points) {
    p.drawRect(pt.x - 2, pt.y - 2, 4, 4);  // 5 x 5 pixels round the point
    line << QPoint(pt.x, pt.y);
  }
  p.drawPolyline(line);
  for (const PictureText& t : shape->texts) c.Text(t.at.x, t.at.y, QString::fromStdString(t.text));
  return c.Take();
}

}  // namespace tarvix::pictures
