#pragma once
// The points of an envelope picture, computed from the sound's bytes without
// any drawing, so the geometry can be checked on its own.

#include <optional>
#include <string>
#include <vector>

#include "library/SoundData.h"

namespace tarvix {

struct PicturePoint {
  int x = 0;
  int y = 0;
  bool operator==(const PicturePoint&) const = default;
};

struct PictureText {
  PicturePoint at;  // top-left corner of the text
  std::string text;
};

struct EnvelopeShape {
  int mode = 0;  // 0 ADSR, 1 ADS1DS2R, 2 One Shot, 3 Loop S1S2, 4 Loop All
  std::vector<PicturePoint> points;
  std::vector<PictureText> texts;
};

// First byte (the mode byte) of envelope 0..3: filter, amplifier, 3, 4.
int EnvelopeBaseOffset(int envelope);

// The shape for a picture of width w and height h; none for a mode outside
// 0..4 (the picture is then left as it was) or an envelope outside 0..3.
std::optional<EnvelopeShape> EnvelopeShapeOf(const SoundData& sound, int envelope, int w, int h);

}  // namespace tarvix
