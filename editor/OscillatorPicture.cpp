#include <cmath>

#include "editor/PagePictures.h"
#include "editor/PictureCanvas.h"
#include "editor/WaveCurves.h"

namespace tarvix::pictures {

QImage DrawOscillator(const SoundData& sound, int osc, const QString& shapeName) {
  PictureCanvas c(kOscillatorSize);
  c.Frame();
  if (osc < 0 || osc > 2) return c.Take();
  const int inner = c.Width() - 2;
  const int mid = c.Height() / 2;
  const auto curve = OscillatorCurve(sound, osc, inner);
  if (curve) {
    const double amplitude = mid - 4;
    QPolygon line;
    for (int x = 0; x < inner; ++x)
      line << QPoint(x + 1, mid - static_cast<int>(std::lround((*curve)[static_cast<std::size_t>(x)] * amplitude)));
    c.Painter().drawPolyline(line);
    return c.Take();
  }
  // Wavetables and samples cannot be drawn from the sound alone: name them,
  // and mark each cycle so the pitch still shows.
  const OscillatorShape shape = OscillatorShapeOf(sound, osc);
  const int base = OscillatorBaseOffset(osc);
  QString name = shapeName;
  if (name.isEmpty()) name = shape.sample ? QStringLiteral("Sample %1").arg(shape.shape + 1) : QStringLiteral("Wave %1").arg(shape.shape);
  c.Painter().drawText(QRect(1, 1, inner, c.Height() - 8), Qt::AlignCenter, name);
  const double cycles = OscillatorCycles(sound[static_cast<std::size_t>(base)], sound[static_cast<std::size_t>(base + 1)]);
  const double step = inner / cycles;
  if (step >= 2) {
    for (double x = 0; x < inner; x += step) c.Painter().drawLine(static_cast<int>(x) + 1, c.Height() - 6, static_cast<int>(x) + 1, c.Height() - 2);
  } else {
    c.Painter().drawLine(1, c.Height() - 4, inner, c.Height() - 4);  // too dense to tell apart
  }
  return c.Take();
}

}  // namespace tarvix::pictures
