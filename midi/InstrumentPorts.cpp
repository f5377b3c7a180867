#include "midi/InstrumentPorts.h"

namespace tarvix {

InstrumentPorts::InstrumentPorts(RtMidiDriver& driver, VirtualInstrument& instrument, Trace trace)
    : instrument_(instrument), trace_(std::move(trace)), assembler_([this](std::span<const std::uint8_t> m) {
        if (trace_) trace_(false, m);
        instrument_.Receive(m);
      }) {
  out_ = driver.OpenVirtualOutput("out");
  in_ = driver.OpenVirtualInput("in", [this](std::span<const std::uint8_t> chunk) { assembler_.Feed(chunk); });
  instrument_.SetReplySink([this](std::span<const std::uint8_t> m) {
    if (trace_) trace_(true, m);
    out_->Send(m);
  });
  in_->Start();
}

InstrumentPorts::~InstrumentPorts() {
  // Replies stop first (the sink waits for one being delivered), then input.
  instrument_.SetReplySink(nullptr);
  in_->Stop();
}

}  // namespace tarvix
