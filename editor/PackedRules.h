#pragma once
// How a drawn value goes into a byte that several controls share. Each rule
// changes only its own field and keeps the other bits of the old byte, so a
// randomizer for one field of the arpeggiator steps leaves the others alone.

#include <cstdint>

namespace tarvix {

// Oscillators 1 and 2: the list holds 125 wave shapes, then the samples.
inline constexpr int kFirstSampleEntry = 125;
// The sample flag sits 7 bytes after the shape byte.
inline constexpr int kSampleFlagDistance = 7;

struct ShapeBytes {
  std::uint8_t shape;
  std::uint8_t sampleFlag;
};
inline ShapeBytes PackShape(int entry) {
  if (entry >= kFirstSampleEntry) {
    const int s = entry - kFirstSampleEntry;
    return {static_cast<std::uint8_t>(s > 127 ? 127 : s), 1};
  }
  return {static_cast<std::uint8_t>(entry < 0 ? 0 : entry), 0};
}

inline std::uint8_t PackUnisonoAllocation(int unisono, int allocation) {
  return static_cast<std::uint8_t>(((unisono & 7) << 4) | (allocation & 1));
}

inline std::uint8_t PackEnvelopeMode(int trigger, int mode) {
  return static_cast<std::uint8_t>(((trigger & 1) << 5) | (mode & 31));
}

// An LED's value index: 0 lights it ("On"), 1 darkens it ("Off").
inline std::uint8_t LedByte(int ledIndex, bool inverted) {
  const bool lit = ledIndex == 0;
  return static_cast<std::uint8_t>(lit != inverted ? 1 : 0);
}

// The results stay below 128 even for a damaged old byte, so they are
// always valid SysEx data.
// Arpeggiator step byte: step type in bits 4..6, glide bit 3, accent 0..2.
inline std::uint8_t WithArpGlide(std::uint8_t old, int ledIndex) {
  return static_cast<std::uint8_t>((ledIndex == 0 ? (old | 8) : (old & ~8)) & 0x7F);
}
inline std::uint8_t WithArpStepType(std::uint8_t old, int type) {
  return static_cast<std::uint8_t>(((type & 7) * 16 + (old & 15)) & 0x7F);
}
inline std::uint8_t WithArpAccent(std::uint8_t old, int accent) {
  return static_cast<std::uint8_t>(((accent & 7) + (old >> 3) * 8) & 0x7F);
}
// Arpeggiator timing byte: length in bits 4..6, timing in bits 0..2.
inline std::uint8_t WithArpTiming(std::uint8_t old, int timing) {
  return static_cast<std::uint8_t>(((timing & 7) + (old >> 4) * 16) & 0x7F);
}
inline std::uint8_t WithArpLength(std::uint8_t old, int length) {
  return static_cast<std::uint8_t>(((length & 7) * 16 + (old & 15)) & 0x7F);
}

}  // namespace tarvix
