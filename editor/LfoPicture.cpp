#include <cmath>

#include "editor/PagePictures.h"
#include "editor/PictureCanvas.h"
#include "editor/WaveCurves.h"

namespace tarvix::pictures {

QImage DrawLfo(const SoundData& sound, int lfo, const QImage& previous) {
  // The curve runs between the frame's inner edges.
  const int inner = kLfoSize.width() - 2;
  const auto curve = LfoCurve(sound, lfo, inner);
  if (!curve) return previous;
  PictureCanvas c(kLfoSize);
  c.Frame();
  const int mid = c.Height() / 2;
  const double amplitude = mid - 5;
  c.DottedLine(1, mid, c.Width() - 2, mid);
  QPolygon line;
  for (int x = 0; x < inner; ++x)
    line << QPoint(x + 1, mid - static_cast<int>(std::lround((*curve)[static_cast<std::size_t>(x)] * amplitude)));
  c.Painter().drawPolyline(line);
  return c.Take();
}

}  // namespace tarvix::pictures
