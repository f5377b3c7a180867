#pragma once
// The built-in instrument on ports of its own that other programs connect to,
// as a hardware instrument's ports would appear: "<client>:in" takes requests
// and dumps, "<client>:out" gives the replies. Used by `tarvix-cli instrument`
// and by the tests and benchmarks that cross a real MIDI transport.

#include <functional>
#include <memory>
#include <span>

#include "midi/MidiAssembler.h"
#include "midi/RtMidiDriver.h"
#include "midi/VirtualInstrument.h"

namespace tarvix {

class InstrumentPorts {
 public:
  // Called for every whole message in (out = false) and every reply out, on
  // the port's or the instrument's thread.
  using Trace = std::function<void(bool out, std::span<const std::uint8_t> message)>;

  // Opens both ports and starts listening. Throws MidiError.
  InstrumentPorts(RtMidiDriver& driver, VirtualInstrument& instrument, Trace trace = {});
  // Stops listening and closes both ports; the instrument is left as it is.
  ~InstrumentPorts();
  InstrumentPorts(const InstrumentPorts&) = delete;
  InstrumentPorts& operator=(const InstrumentPorts&) = delete;

 private:
  VirtualInstrument& instrument_;
  Trace trace_;
  MidiAssembler assembler_;
  std::unique_ptr<MidiOutputPort> out_;
  std::unique_ptr<MidiInputPort> in_;
};

}  // namespace tarvix
