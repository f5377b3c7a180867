#include "editor/EnvelopeShape.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvix {

int EnvelopeBaseOffset(int envelope) { return 203 + 12 * envelope; }

namespace {

// The points run left to right; when long stages would carry the last one
// past the right edge, the whole curve is narrowed to fit, keeping its order.
void FitWidth(std::vector<PicturePoint>& points, int w) {
  const int right = points.back().x;
  if (right <= w - 2 || right <= 1) return;
  for (auto& p : points) p.x = 1 + (p.x - 1) * (w - 3) / (right - 1);
}

}  // namespace

std::optional<EnvelopeShape> EnvelopeShapeOf(const SoundData& sound, int envelope, int w, int h) {
  if (envelope < 0 || envelope > 3) return std::nullopt;
  const auto at = [&](int k) { return static_cast<int>(sound[static_cast<std::size_t>(EnvelopeBaseOffset(envelope) + k)]); };
  const int mode = at(0) & 31;  // the trigger bit does not change the shape
  if (mode > 4) return std::nullopt;
  const int a = at(3), al = at(4), d = at(5), s = at(6), d2 = at(7), s2 = at(8), r = at(9);

  EnvelopeShape e;
  e.mode = mode;
  e.points.push_back({1, h});  // every curve starts on the bottom edge
  if (mode == 0) {
    // Halves round to even, as the program has always drawn them.
    const int x1 = static_cast<int>(std::nearbyint(a / 1.55)) + 1;
    const int x2 = x1 + 2 * (d / 5);
    const int y2 = 64 - s / 2;
    // The sustain stage starts at a fixed place, but never before the decay ends.
    const int xs = std::max(2 * (w / 3), x2);
    for (const PicturePoint pt : {PicturePoint{x1, 1}, {x2, y2}, {xs, y2}, {xs + r / 2, 64}}) e.points.push_back(pt);
    FitWidth(e.points, w);
    return e;
  }
  const int x1 = a / 2 + 1;
  const int y1 = 64 - al / 2;
  const int x2 = x1 + 2 * (d / 5);
  const int y2 = 64 - s / 2;
  const int x3 = x2 + d2 / 2;
  const int y3 = 64 - s2 / 2;
  const int xs = std::max(3 * (w / 4), x3);  // long decays push the sustain right
  for (const PicturePoint pt : {PicturePoint{x1, y1}, {x2, y2}, {x3, y3}}) e.points.push_back(pt);
  if (mode == 2) {
    // One shot: no sustain stage, the release follows decay 2 at once.
    e.points.push_back({x3 + r / 3, 64});
    FitWidth(e.points, w);
    return e;
  }
  e.points.push_back({xs, y3});
  e.points.push_back({xs + r / 3, 64});
  const int right = e.points.back().x;
  FitWidth(e.points, w);
  // The loop marks stay with the points they mark.
  const auto fit = [&](int x) { return right > w - 2 ? 1 + (x - 1) * (w - 3) / (right - 1) : x; };
  if (mode == 3) {
    e.texts.push_back({{fit(x1), y1 + 4}, "->"});
    e.texts.push_back({{fit(xs), y3 + 4}, "<-"});
  } else if (mode == 4) {
    e.texts.push_back({{2, 6}, "->"});
    e.texts.push_back({{w - 16, 6}, "<-"});
  }
  return e;
}

}  // namespace tarvix
