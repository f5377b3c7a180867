#pragma once
// Turns the byte chunks a MIDI service delivers into whole messages. A System
// Exclusive message may arrive split over several chunks; real-time bytes
// (F8..FF) may arrive in its middle and are passed on by themselves; any
// other status byte in its middle means the message was cut off, so it is
// dropped and counted, and the new message starts. Channel messages may use
// running status. One assembler belongs to one input and is fed from that
// input's thread only.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace tarvix {

class MidiAssembler {
 public:
  using Sink = std::function<void(std::span<const std::uint8_t> message)>;
  // A System Exclusive message longer than this is dropped whole, so a
  // stream without F7 cannot grow memory without bound.
  static constexpr std::size_t kMaxSysEx = 1 << 20;

  explicit MidiAssembler(Sink sink) : sink_(std::move(sink)) {}
  void Feed(std::span<const std::uint8_t> chunk);
  // Messages dropped as cut off or too long since construction.
  std::size_t Dropped() const { return dropped_; }

 private:
  void StartChannel(std::uint8_t status);
  Sink sink_;
  std::vector<std::uint8_t> sysex_;
  bool inSysEx_ = false;
  bool overlong_ = false;
  std::uint8_t running_ = 0;  // running status, 0 when none
  std::uint8_t message_[3] = {};
  std::size_t have_ = 0, need_ = 0;
  std::size_t dropped_ = 0;
};

}  // namespace tarvix
