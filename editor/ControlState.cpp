#include "editor/ControlState.h"

#include <algorithm>
#include <stdexcept>

#include "editor/CaptionFormat.h"
#include "editor/ParameterMap.h"

namespace tarvix {

namespace {

constexpr int kShapeCount = 125;
constexpr int kOctaveBase = 16;
constexpr int kOctaveStep = 12;

int ClampByte(int v) { return std::clamp(v, 0, 127); }

// Entries of a shape list that a byte pair can express: the shape byte of a
// sample entry is entry - 125, which must fit in seven bits.
int ShapeEntryCount(int sampleCount) { return kShapeCount + std::clamp(sampleCount, 0, 128); }

bool ListValueValid(const ControlSpec& c, int v, int sampleCount) {
  if (c.encoding == Encoding::Shape) return v >= 0 && v < ShapeEntryCount(sampleCount);
  return v >= 0 && v < c.EntryCount();
}

// The bits one packed control contributes to its byte. With no valid value
// the control keeps the bits the byte already has.
int PackedField(const ControlSpec& c, int v, std::uint8_t current) {
  bool valid = c.IsList() ? ListValueValid(c, v, 0) : true;
  int field = valid ? (c.IsLed() ? (v != 0) : std::clamp(v, 0, c.mask)) : (current >> c.shift) & c.mask;
  return (field & c.mask) << c.shift;
}

void WritePacked(const ControlState& state, SoundData& sound, int offset) {
  const auto& map = ParameterMap::Instance();
  const std::uint8_t current = sound[static_cast<std::size_t>(offset)];
  int byte = current;
  for (std::size_t i : map.ControlsAt(offset)) {
    const auto& c = map[i];
    if (c.encoding != Encoding::Packed || !state.Moved(i)) continue;
    byte = (byte & ~(c.mask << c.shift)) | PackedField(c, state.values[i], current);
  }
  sound[static_cast<std::size_t>(offset)] = static_cast<std::uint8_t>(byte & 0x7F);
}

void WriteOne(const ControlSpec& c, int v, SoundData& sound, int sampleCount) {
  auto& byte = sound[static_cast<std::size_t>(c.offset)];
  switch (c.encoding) {
    case Encoding::Raw: byte = static_cast<std::uint8_t>(ClampByte(v)); break;
    case Encoding::Centred: byte = static_cast<std::uint8_t>(ClampByte(v + 64)); break;
    case Encoding::Octave: byte = static_cast<std::uint8_t>(ClampByte(kOctaveBase + kOctaveStep * std::clamp(v, 0, 9))); break;
    case Encoding::Flag: byte = v != 0 ? 1 : 0; break;
    case Encoding::InvertedFlag: byte = v != 0 ? 0 : 1; break;
    case Encoding::Index:
      if (ListValueValid(c, v, sampleCount)) byte = static_cast<std::uint8_t>(v);
      else if (c.noSelectionByte >= 0) byte = static_cast<std::uint8_t>(c.noSelectionByte);
      break;
    case Encoding::Shape:
      if (ListValueValid(c, v, sampleCount)) {
        const bool sample = v >= kShapeCount;
        byte = static_cast<std::uint8_t>(sample ? v - kShapeCount : v);
        sound[static_cast<std::size_t>(c.sampleFlagOffset)] = sample ? 1 : 0;
      }
      break;
    case Encoding::Packed: break;  // written whole per byte by WritePacked
  }
}

}  // namespace

int& ControlState::operator[](std::string_view control) {
  return values.at(ParameterMap::Instance().IndexOf(control));
}

int ControlState::operator[](std::string_view control) const {
  return values.at(ParameterMap::Instance().IndexOf(control));
}

int ReadControl(const SoundData& sound, const ControlSpec& c, int sampleCount) {
  const int b = sound[static_cast<std::size_t>(c.offset)];
  switch (c.encoding) {
    case Encoding::Raw: return b;
    case Encoding::Centred: return b - 64;
    case Encoding::Octave: return (b - kOctaveBase) / kOctaveStep;  // truncates towards zero, as the instrument does
    case Encoding::Flag: return b == 1 ? 1 : 0;
    case Encoding::InvertedFlag: return b == 0 ? 1 : 0;
    case Encoding::Index: return b < c.EntryCount() ? b : kNoSelection;
    case Encoding::Shape: {
      const bool sample = sound[static_cast<std::size_t>(c.sampleFlagOffset)] != 0;
      const int entry = sample ? b + kShapeCount : b;
      // A plain shape byte beyond the 125 shapes, or a sample beyond the
      // loaded sample names, selects nothing.
      if (!sample && b >= kShapeCount) return kNoSelection;
      return entry < ShapeEntryCount(sampleCount) ? entry : kNoSelection;
    }
    case Encoding::Packed: {
      const int field = (b >> c.shift) & c.mask;
      if (c.IsList()) return field < c.EntryCount() ? field : kNoSelection;
      return field;
    }
  }
  return 0;
}

int StoredField(const SoundData& sound, const ControlSpec& c) {
  const int b = sound[static_cast<std::size_t>(c.offset)];
  return c.encoding == Encoding::Packed ? (b >> c.shift) & c.mask : b;
}

ControlState ReadControls(const SoundData& sound, int sampleCount) {
  const auto& map = ParameterMap::Instance();
  ControlState s;
  s.values.reserve(map.size());
  for (const auto& c : map.Controls()) s.values.push_back(ReadControl(sound, c, sampleCount));
  s.name = TrimmedSoundName(sound);
  return s;
}

void WriteControls(const ControlState& state, SoundData& sound, int sampleCount) {
  WriteControls(state, sound, ControlLayout::For(sound), sampleCount);
}

void WriteControls(const ControlState& state, SoundData& sound, const ControlLayout& layout, int sampleCount) {
  const auto& map = ParameterMap::Instance();
  if (state.values.size() != map.size())
    throw std::invalid_argument("control state holds " + std::to_string(state.values.size()) + " values, the map has " +
                                std::to_string(map.size()) + " controls");
  if (state.nameEdited) SetSoundName(sound, state.name);
  std::vector<bool> packedDone(kSoundSize, false);
  for (std::size_t i = 0; i < map.size(); ++i) {
    const auto& c = map[i];
    if (c.rule == WriteRule::WhileVisible && !layout.IsVisible(i)) continue;
    if (!state.Moved(i)) continue;
    if (c.encoding == Encoding::Packed) {
      auto done = packedDone[static_cast<std::size_t>(c.offset)];
      if (!done) WritePacked(state, sound, c.offset);
      packedDone[static_cast<std::size_t>(c.offset)] = true;
      continue;
    }
    WriteOne(c, state.values[i], sound, sampleCount);
  }
}

std::string ValueTextAt(const SoundData& sound, int offset) {
  const auto& map = ParameterMap::Instance();
  if (offset < 0 || offset >= static_cast<int>(kSoundSize)) return {};
  const ControlLayout layout = ControlLayout::For(sound);
  std::string text;
  for (std::size_t i : map.ControlsAt(offset)) {
    const auto& c = map[i];
    if (c.offset != offset) continue;  // the sample flag belongs to the shape
    if (c.rule == WriteRule::WhileVisible && !layout.IsVisible(i)) continue;
    const int v = ReadControl(sound, c, 128);
    std::string one;
    if (c.IsLed()) {
      one = v != 0 ? "on" : "off";
    } else if (c.IsList()) {
      const int entries = c.EntryCount();
      if (v >= 0 && v < entries) one = (*c.entries)[static_cast<std::size_t>(v)];
      else if (v >= entries && c.encoding == Encoding::Shape) one = "Sample " + std::to_string(v - kShapeCount + 1);
      else one = std::to_string(StoredField(sound, c));
    } else {
      const bool clocked = c.captionDependsOn >= 0 &&
                           ReadControl(sound, map[static_cast<std::size_t>(c.captionDependsOn)]) != 0;
      const auto caption = HasFormatter(c.tag) ? KnobCaption(c.tag, v, clocked) : std::nullopt;
      // An unclocked LFO speed has no text of its own: its number says more.
      one = caption && *caption != "Speed" ? *caption : std::to_string(v);
    }
    if (!text.empty()) text += '/';
    text += one;
  }
  return text.empty() ? std::to_string(sound[static_cast<std::size_t>(offset)]) : text;
}

std::optional<std::string> KnobCaptionFor(const ControlState& state, std::size_t control) {
  const auto& map = ParameterMap::Instance();
  if (control >= map.size() || control >= state.values.size()) return std::nullopt;
  const auto& c = map[control];
  if (!c.IsKnob() || !HasFormatter(c.tag)) return std::nullopt;
  const bool clocked = c.captionDependsOn >= 0 && state.values[static_cast<std::size_t>(c.captionDependsOn)] != 0;
  return KnobCaption(c.tag, state.values[control], clocked);
}

}  // namespace tarvix
