#include <algorithm>
#include <cmath>
#include <numbers>

#include "editor/PagePictures.h"
#include "editor/PictureCanvas.h"

namespace tarvix::pictures {
namespace {

int FilterBaseOffset(int filter) { return 84 + 20 * filter; }

// Frequency scale of the pass and notch pictures: marks at 100 Hz, 1 kHz
// and 10 kHz over the cutoff range.
void Scale(PictureCanvas& c) {
  c.Frame();
  for (int x : {76, 156, 236}) c.DottedLine(x, 0, x, 64);
  c.Text(67, 2, "100");
  c.Text(149, 2, "1k");
  c.Text(229, 2, "10k");
  c.SolidBlack();
}

enum class Pass { Low, Band, High };

void PassPicture(PictureCanvas& c, Pass kind, int slope, int k, int r) {
  Scale(c);
  const int w = c.Width(), h = c.Height();
  const int cut = 2 * k;
  const int x0 = kind == Pass::Low ? 0 : (kind == Pass::Band ? cut : w);
  c.Rect(x0, h / 2, cut, h);
  // The resonance peak: higher with more resonance, steeper with a smaller
  // slope value.
  const QPolygon peak({QPoint(cut, 66 - (h / 2 + r / 4)), QPoint(cut - slope, 64), QPoint(cut + slope, 64)});
  c.Painter().drawPolygon(peak);
}

void NotchPicture(PictureCanvas& c, int slope, int k) {
  Scale(c);
  const int w = c.Width(), h = c.Height();
  const int cut = 2 * k;
  c.Painter().drawPolygon(QPolygon({QPoint(0, h), QPoint(cut, h), QPoint(cut - slope, h / 2), QPoint(0, h / 2)}));
  c.Painter().drawPolygon(QPolygon({QPoint(w, h), QPoint(cut, h), QPoint(cut + slope, h / 2), QPoint(w, h / 2)}));
}

// A comb filter's response is a row of evenly spaced peaks: "Comb+" has them
// at multiples of its base frequency, "Comb-" half-way between (its notches
// sit at the multiples). A higher cutoff spaces the teeth wider; resonance
// makes them taller and sharper.
void CombPicture(PictureCanvas& c, bool positive, int k, int r) {
  c.Frame();
  const int w = c.Width();
  c.DottedLine(w / 2, 0, w / 2, 64);
  c.Text(3, 2, "0");
  c.Text(w / 2 - 7, 2, "10k");
  c.Text(w - 20, 2, "20k");
  c.SolidBlack();
  const double period = 256.0 / ((128 - k) / 8.0);
  const int height = 12 + 3 * (r / 8);
  const double sharpness = 1.0 + r / 32.0;
  for (int x = 1; x < w - 1; ++x) {
    const double phase = 2 * std::numbers::pi * x / period + (positive ? 0.0 : std::numbers::pi);
    const double level = std::pow(0.5 + 0.5 * std::cos(phase), sharpness);
    const int top = 64 - static_cast<int>(std::lround(height * level));
    c.Painter().drawLine(x, std::min(top, 64), x, 64);
  }
}

}  // namespace

QImage DrawFilter(const SoundData& sound, int filter, const QImage& previous) {
  if (filter < 0 || filter > 1) return previous;
  const int base = FilterBaseOffset(filter);
  const int type = sound[static_cast<std::size_t>(base)];
  const int k = sound[static_cast<std::size_t>(base + 1)];
  const int r = sound[static_cast<std::size_t>(base + 3)];
  if (type > 11) return previous;

  PictureCanvas c(kFilterSize);
  switch (type) {
    case 0:
      c.Frame();
      c.Rect(0, c.Height() / 2, c.Width(), c.Height());
      break;
    case 1:
    case 11: PassPicture(c, Pass::Low, 6, k, r); break;
    case 2: PassPicture(c, Pass::Low, 12, k, r); break;
    case 3: PassPicture(c, Pass::Band, 6, k, r); break;
    case 4: PassPicture(c, Pass::Band, 12, k, r); break;
    case 5: PassPicture(c, Pass::High, 6, k, r); break;
    case 6: PassPicture(c, Pass::High, 12, k, r); break;
    case 7: NotchPicture(c, 6, k); break;
    case 8: NotchPicture(c, 12, k); break;
    case 9: CombPicture(c, true, k, r); break;
    case 10: CombPicture(c, false, k, r); break;
  }
  return c.Take();
}

QImage DrawFilterRouting(const SoundData& sound, const QImage& filter1, const QImage& filter2) {
  PictureCanvas c(kRoutingSize);
  c.Frame();
  const int w = c.Width();
  c.Text(5, 13, "F1");
  c.Text(5, 48, "F2");
  c.Text(w - 10, 13, "L");
  c.Text(w - 10, 48, "R");
  c.SolidBlack();
  QPainter& p = c.Painter();

  const QSize copy(96, 25);
  const int topY = 19, bottomY = 55;  // the rows of the F1/L and F2/R texts
  const auto place = [&](const QImage& img, int x, int midY) {
    const QRect at(QPoint(x, midY - copy.height() / 2), copy);
    if (!img.isNull()) p.drawImage(at, img.scaled(copy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    p.setBrush(Qt::NoBrush);
    p.drawRect(at.adjusted(0, 0, -1, -1));
    p.setBrush(Qt::black);
    return at;
  };

  const int routing = sound[124];
  if (routing == 0) {
    // Parallel: each filter from its input to its own side.
    for (const auto& [img, y] : {std::pair{&filter1, topY}, std::pair{&filter2, bottomY}}) {
      const QRect at = place(*img, 120, y);
      p.drawLine(22, y, at.left() - 1, y);
      p.drawLine(at.right() + 1, y, w - 14, y);
    }
  } else if (routing == 1) {
    // Serial: filter 1 feeds filter 2, whose output reaches both sides.
    const QRect a = place(filter1, 40, topY);
    const QRect b = place(filter2, 170, (topY + bottomY) / 2);
    p.drawLine(22, topY, a.left() - 1, topY);
    p.drawLine(a.right() + 1, topY, a.right() + 12, topY);
    p.drawLine(a.right() + 12, topY, a.right() + 12, b.center().y());
    p.drawLine(a.right() + 12, b.center().y(), b.left() - 1, b.center().y());
    const int split = b.right() + 20;
    p.drawLine(b.right() + 1, b.center().y(), split, b.center().y());
    p.drawLine(split, topY, split, bottomY);
    p.drawLine(split, topY, w - 14, topY);
    p.drawLine(split, bottomY, w - 14, bottomY);
  } else {
    // An unknown routing: show the filters, connect nothing.
    place(filter1, 120, topY);
    place(filter2, 120, bottomY);
  }
  return c.Take();
}

}  // namespace tarvix::pictures
