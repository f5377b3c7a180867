#pragma once
// The port between the program and a MIDI service: numbered input and output
// devices, one instrument output, the instrument and controller inputs.
// Implementations: the RtMidi backend, the built-in virtual instrument and
// the fakes of the tests. Everything but the input callbacks is called on
// the interface thread.

#include <cstdint>
#include <span>

namespace tarvix {

class MidiOut {
 public:
  virtual ~MidiOut() = default;
  // One channel message; bytes a message type does not use are passed as 0.
  virtual void SendShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) = 0;
  // One System Exclusive message. The caller may discard the bytes on return.
  virtual void SendLong(std::span<const std::uint8_t> bytes) = 0;
  // All notes off on all channels.
  virtual void ResetOutput() = 0;
};

}  // namespace tarvix
