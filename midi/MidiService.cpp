#include "midi/MidiService.h"

#include <algorithm>

#include "midi/VirtualInstrument.h"

namespace tarvix {

namespace {

class VirtualOutput : public MidiOutputPort {
 public:
  explicit VirtualOutput(VirtualInstrument& vi) : vi_(vi) {}
  void Send(std::span<const std::uint8_t> bytes) override { vi_.Receive(bytes); }

 private:
  VirtualInstrument& vi_;
};

class VirtualInput : public MidiInputPort {
 public:
  VirtualInput(VirtualInstrument& vi, MidiDriver::InputCallback cb) : vi_(vi), cb_(std::move(cb)) {}
  ~VirtualInput() override { Stop(); }
  void Start() override {
    vi_.SetReplySink([cb = cb_](std::span<const std::uint8_t> m) { cb(m); });
    started_ = true;
  }
  void Stop() override {
    if (started_) vi_.SetReplySink(nullptr);
    started_ = false;
  }

 private:
  VirtualInstrument& vi_;
  MidiDriver::InputCallback cb_;
  bool started_ = false;
};

// Clock, start, continue, stop, active sensing, reset and the other
// real-time bytes, MTC quarter frames and song position.
bool IsTimingMessage(std::span<const std::uint8_t> m) {
  return !m.empty() && (m[0] >= 0xF8 || m[0] == 0xF1 || m[0] == 0xF2);
}

}  // namespace

bool IsDefaultInstrumentName(const std::string& name) {
  return name.find("Waldorf Blofeld") != std::string::npos || name.find("USB2 Audio") != std::string::npos ||
         name.rfind("Blofeld", 0) == 0;
}

MidiService::MidiService(MidiDriver* driver, VirtualInstrument& instrument, Scheduler& scheduler, Log& log)
    : driver_(driver),
      instrument_(instrument),
      scheduler_(scheduler),
      log_(log),
      instrumentAssembler_([this](std::span<const std::uint8_t> m) {
        // The instrument's own clock, time code and active sensing mean
        // nothing to the program; dropping them here spares the interface
        // thread a steady stream of tasks.
        if (IsTimingMessage(m)) return;
        std::vector<std::uint8_t> copy(m.begin(), m.end());
        {
          std::lock_guard lock(sendMutex_);
          if (trace_) trace_(false, copy);
        }
        scheduler_.post([this, alive = std::weak_ptr<bool>(alive_), copy = std::move(copy)] {
          if (alive.lock()) Deliver(copy);
        });
      }),
      controllerAssembler_([this](std::span<const std::uint8_t> m) {
        // Straight through to the instrument, on this thread, unchanged.
        // System Exclusive is not passed: the controller input takes none.
        if (!m.empty() && m[0] != 0xF0) SendBytes(m);
      }) {}

MidiService::~MidiService() {
  CloseInputs();
  std::lock_guard lock(sendMutex_);
  output_.reset();
}

void MidiService::EnumerateDevices() {
  InputDevices.clear();
  OutputDevices.clear();
  InputDevices.push_back({VirtualInstrument::kDeviceName, 0});
  OutputDevices.push_back({VirtualInstrument::kDeviceName, 0});
  if (!driver_) return;
  try {
    for (const auto& n : driver_->InputNames()) InputDevices.push_back({n, static_cast<int>(InputDevices.size())});
    for (const auto& n : driver_->OutputNames()) OutputDevices.push_back({n, static_cast<int>(OutputDevices.size())});
  } catch (const std::exception& e) {
    log_.LogMessage(std::string("Cannot list MIDI devices: ") + e.what());
  }
}

void MidiService::MatchDefaultDevices() {
  for (const auto& d : InputDevices)
    if (IsDefaultInstrumentName(d.name)) Ports.inNumber = d.number;
  for (const auto& d : OutputDevices)
    if (IsDefaultInstrumentName(d.name)) Ports.outNumber = d.number;
}

void MidiService::ResolveDeviceNumbers() {
  for (const auto& d : InputDevices) {
    if (!Ports.inName.empty() && d.name == Ports.inName) Ports.inNumber = d.number;
    if (!Ports.controllerName.empty() && d.name == Ports.controllerName) Ports.controllerNumber = d.number;
  }
  for (const auto& d : OutputDevices)
    if (!Ports.outName.empty() && d.name == Ports.outName) Ports.outNumber = d.number;
}

std::unique_ptr<MidiOutputPort> MidiService::MakeOutput(int number) {
  if (number == 0) return std::make_unique<VirtualOutput>(instrument_);
  if (!driver_ || number < 0 || number >= static_cast<int>(OutputDevices.size()))
    throw MidiError("MIDI output " + std::to_string(number) + " does not exist");
  return driver_->OpenOutput(number - 1, OutputDevices[static_cast<std::size_t>(number)].name);
}

std::unique_ptr<MidiInputPort> MidiService::MakeInput(int number, MidiDriver::InputCallback callback) {
  if (number == 0) return std::make_unique<VirtualInput>(instrument_, std::move(callback));
  if (!driver_ || number < 0 || number >= static_cast<int>(InputDevices.size()))
    throw MidiError("MIDI input " + std::to_string(number) + " does not exist");
  return driver_->OpenInput(number - 1, InputDevices[static_cast<std::size_t>(number)].name, std::move(callback));
}

bool MidiService::OpenOutput() {
  try {
    auto port = MakeOutput(Ports.outNumber);
    std::lock_guard lock(sendMutex_);
    output_ = std::move(port);
    return true;
  } catch (const std::exception& e) {
    log_.LogMessage(std::string("Midi Open error: ") + e.what());
    return false;
  }
}

void MidiService::OpenVirtualOutput() {
  Ports.outNumber = 0;
  auto port = MakeOutput(0);
  std::lock_guard lock(sendMutex_);
  output_ = std::move(port);
  log_.LogMessage(std::string("MIDI output: ") + VirtualInstrument::kDeviceName);
}

std::vector<std::string> MidiService::OpenInputs() {
  std::vector<std::string> errors;
  // Instrument input.
  if (!instrumentIn_) {
    std::unique_ptr<MidiInputPort> port;
    try {
      port = MakeInput(Ports.inNumber, [this](std::span<const std::uint8_t> c) { instrumentAssembler_.Feed(c); });
    } catch (const std::exception& e) {
      log_.LogMessage(std::string("Midi IN open error: ") + e.what());
    }
    if (port) {
      try {
        port->Start();
        instrumentIn_ = std::move(port);
      } catch (const std::exception& e) {
        log_.LogMessage(std::string("Midi IN Start error: ") + e.what());
        errors.emplace_back("Midi IN Start error");
      }
    }
  }
  // Controller input: only when the user chose one, so the instrument's own
  // output is never fed back to it by default.
  if (!controllerIn_ && !Ports.controllerName.empty()) {
    std::unique_ptr<MidiInputPort> port;
    try {
      port = MakeInput(Ports.controllerNumber,
                       [this](std::span<const std::uint8_t> c) { controllerAssembler_.Feed(c); });
    } catch (const std::exception& e) {
      log_.LogMessage(std::string("Midi Controller IN open error: ") + e.what());
    }
    if (port) {
      try {
        port->Start();
        controllerIn_ = std::move(port);
      } catch (const std::exception& e) {
        log_.LogMessage(std::string("Midi Controller IN Start error: ") + e.what());
        errors.emplace_back("Midi Controller IN Start error");
      }
    }
  }
  return errors;
}

void MidiService::CloseInput(std::unique_ptr<MidiInputPort>& port, const char* what) {
  if (!port) return;
  try {
    port->Stop();
    port.reset();  // only a stopped input is closed and released
  } catch (const std::exception& e) {
    log_.LogMessage(std::string(what) + ": " + e.what());
  }
}

void MidiService::CloseInputs() {
  CloseInput(instrumentIn_, "Midi IN stop error");
  CloseInput(controllerIn_, "Midi Controller IN stop error");
  armedSize_ = 0;
}

void MidiService::CloseOutput() {
  try {
    std::lock_guard lock(sendMutex_);
    output_.reset();
  } catch (const std::exception& e) {
    log_.LogMessage(std::string("Midi OUT close error: ") + e.what());
  }
}

MidiService::ReopenResult MidiService::Reopen() {
  ReopenResult r;
  ResolveDeviceNumbers();
  CloseInputs();
  r.inputErrors = OpenInputs();
  CloseOutput();
  r.outputOpened = OpenOutput();
  return r;
}

bool MidiService::OutputOpen() const {
  std::lock_guard lock(sendMutex_);
  return output_ != nullptr;
}

void MidiService::SetTrace(Trace trace) {
  std::lock_guard lock(sendMutex_);
  trace_ = std::move(trace);
}

bool MidiService::SendBytes(std::span<const std::uint8_t> bytes, bool logFailure) {
  std::string failure;
  {
    std::lock_guard lock(sendMutex_);
    if (!output_) {
      failure = "no MIDI output is open";
    } else {
      if (trace_) trace_(true, bytes);
      try {
        output_->Send(bytes);
        return true;
      } catch (const std::exception& e) {
        // A failing port must not end the command or, on the controller
        // thread, the program; callers that keep count are told.
        failure = e.what();
      }
    }
  }
  if (logFailure) log_.LogMessage("MIDI send failed (" + std::to_string(bytes.size()) + " bytes): " + failure);
  return false;
}

void MidiService::SendShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  std::uint8_t m[3] = {status, data1, data2};
  std::size_t n = 3;
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      n = 2;  // program change and channel pressure have one data byte
      break;
    case 0xF0:
      n = status >= 0xF8 || status == 0xF6 ? 1 : (status == 0xF2 ? 3 : 2);
      break;
    default:
      break;
  }
  SendBytes(std::span<const std::uint8_t>(m, n));
}

void MidiService::SendLong(std::span<const std::uint8_t> bytes) {
  // The port sends synchronously or copies, so the caller's bytes are free
  // once this returns.
  if (!bytes.empty()) SendBytes(bytes);
}

std::size_t MidiService::MaxMessageSize() const {
  std::lock_guard lock(sendMutex_);
  return output_ ? output_->MaxMessageSize() : static_cast<std::size_t>(-1);
}

bool MidiService::Transmit(std::span<const std::uint8_t> bytes) { return !bytes.empty() && SendBytes(bytes, true); }

void MidiService::ResetOutput() {
  for (int ch = 0; ch < 16; ++ch) {
    SendShort(static_cast<std::uint8_t>(0xB0 | ch), 123, 0);  // all notes off
    SendShort(static_cast<std::uint8_t>(0xB0 | ch), 120, 0);  // all sound off
  }
}

bool MidiService::PrepareReceive(std::size_t size) {
  if (size == 0 || size > kReceiveBufferSize) {
    log_.LogMessage("INPREPARE error" + std::to_string(kInvalidParameter));
    return false;
  }
  if (!instrumentIn_) {
    log_.LogMessage("ADDBUFFER error" + std::to_string(kInvalidHandle) + ":0");
    return false;
  }
  armedSize_ = size;
  return true;
}

void MidiService::Deliver(const std::vector<std::uint8_t>& m) {
  if (m.empty()) return;
  if (m[0] != 0xF0) {
    if (handler_ && m[0] < 0xF0) handler_->OnShortMessage(m[0], m.size() > 1 ? m[1] : 0, m.size() > 2 ? m[2] : 0);
    return;
  }
  if (armedSize_ == 0) {
    ++unexpected_;  // no buffer queued: the message is not received
    return;
  }
  const std::size_t n = std::min(m.size(), armedSize_);
  std::copy_n(m.begin(), n, receiveBuffer_.begin());
  armedSize_ = 0;
  if (handler_) handler_->OnLongData(std::span<const std::uint8_t>(receiveBuffer_.data(), n));
}

}  // namespace tarvix
