#include "midi/RtMidiDriver.h"

#include "midi/JackMidi.h"

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <regex>

namespace tarvix {

namespace {

// RtMidi reports through a callback when one is set and would otherwise print
// warnings to stderr. Errors are collected here and turned into MidiError
// after each call; warnings are kept only as the last message.
struct ErrorSink {
  std::string error;
  std::string warning;
  static void Callback(RtMidiError::Type type, const std::string& text, void* user) {
    auto* self = static_cast<ErrorSink*>(user);
    if (type == RtMidiError::WARNING || type == RtMidiError::DEBUG_WARNING)
      self->warning = text;
    else
      self->error = text;
  }
  void ThrowIfFailed() {
    if (!error.empty()) {
      std::string e = std::move(error);
      error.clear();
      throw MidiError(e);
    }
  }
};

template <typename Rt>
std::vector<std::string> Names(Rt& rt, ErrorSink& sink) {
  std::vector<std::string> names;
  const unsigned n = rt.getPortCount();
  for (unsigned i = 0; i < n; ++i) names.push_back(RtMidiDriver::CleanPortName(rt.getPortName(i)));
  sink.ThrowIfFailed();
  return names;
}

// The position of name in a list of shown names, preferring the expected
// index.
unsigned FindPort(const std::vector<std::string>& names, int index, const std::string& name) {
  if (index >= 0 && index < static_cast<int>(names.size()) && names[static_cast<std::size_t>(index)] == name)
    return static_cast<unsigned>(index);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == name) return static_cast<unsigned>(i);
  throw MidiError("MIDI port \"" + name + "\" is not available");
}

template <typename Rt>
unsigned FindPort(Rt& rt, ErrorSink& sink, int index, const std::string& name) {
  return FindPort(Names(rt, sink), index, name);
}

std::vector<std::string> CleanNames(const std::vector<std::string>& raw) {
  std::vector<std::string> names;
  for (const auto& n : raw) names.push_back(RtMidiDriver::CleanPortName(n));
  return names;
}

// The full JACK port name behind a shown name.
std::string FindJackPort(const std::vector<std::string>& raw, int index, const std::string& name) {
  return raw[FindPort(CleanNames(raw), index, name)];
}

class RtOutput : public MidiOutputPort {
 public:
  explicit RtOutput(std::unique_ptr<RtMidiOut> out, std::unique_ptr<ErrorSink> sink)
      : sink_(std::move(sink)), out_(std::move(out)) {}
  ~RtOutput() override {
    try {
      out_->closePort();
    } catch (...) {
    }
  }
  void Send(std::span<const std::uint8_t> bytes) override {
    out_->sendMessage(bytes.data(), bytes.size());  // copies before returning
    sink_->ThrowIfFailed();
  }

 private:
  // The port goes first on destruction: RtMidi may still report into the sink.
  std::unique_ptr<ErrorSink> sink_;
  std::unique_ptr<RtMidiOut> out_;
};

class RtInput : public MidiInputPort {
 public:
  RtInput(std::unique_ptr<RtMidiIn> in, std::unique_ptr<ErrorSink> sink, MidiDriver::InputCallback cb)
      : sink_(std::move(sink)), cb_(std::move(cb)), in_(std::move(in)) {}
  ~RtInput() override {
    try {
      Stop();
    } catch (...) {
    }
  }
  void Start() override {
    // Nothing is filtered here: a controller input passes a sequencer's clock,
    // time code and active sensing on to the instrument, and the port layer
    // decides what the instrument's own input keeps.
    in_->ignoreTypes(false, false, false);
    // RtMidi hands its "callback set" flag to its thread without a fence;
    // this one makes the callback's state visible to that thread for sure.
    live_.store(true, std::memory_order_release);
    in_->setCallback(&RtInput::Callback, this);
    sink_->ThrowIfFailed();
  }
  void Stop() override {
    // Closing the port ends RtMidi's input thread, so no callback runs after.
    live_.store(false, std::memory_order_release);
    in_->closePort();
    in_->cancelCallback();
    sink_->error.clear();
  }

 private:
  static void Callback(double, std::vector<unsigned char>* message, void* user) {
    auto* self = static_cast<RtInput*>(user);
    if (!self->live_.load(std::memory_order_acquire)) return;
    if (message && !message->empty()) self->cb_(std::span<const std::uint8_t>(message->data(), message->size()));
  }
  // The port goes first on destruction, which ends RtMidi's input thread
  // while the callback and the sink still exist.
  std::unique_ptr<ErrorSink> sink_;
  MidiDriver::InputCallback cb_;
  std::atomic<bool> live_{false};
  std::unique_ptr<RtMidiIn> in_;
};

ErrorSink& ProbeSink() {
  static ErrorSink sink;  // the probes only list names; one shared sink suffices
  return sink;
}

// A new RtMidi client of the driver's API whose errors go to sink (RtMidi
// reports most failures through the callback, construction by throwing).
template <typename Port>
std::unique_ptr<Port> MakeRtPort(RtMidi::Api api, const std::string& client, ErrorSink& sink) {
  std::unique_ptr<Port> port;
  try {
    port = std::make_unique<Port>(api, client);
  } catch (const RtMidiError& e) {
    throw MidiError(e.getMessage());
  }
  port->setErrorCallback(&ErrorSink::Callback, &sink);
  return port;
}

}  // namespace

std::string RtMidiDriver::CleanPortName(const std::string& raw) {
  static const std::regex trailing(R"( \d+:\d+$)");
  return std::regex_replace(raw, trailing, "");
}

RtMidiDriver::RtMidiDriver(Api api, std::string clientName) : client_(std::move(clientName)) {
  // Never let a JACK client start a server of its own: a stray server would
  // outlive the program.
  ::setenv("JACK_NO_START_SERVER", "1", 0);
  if (api == Api::Auto && !std::filesystem::exists("/dev/snd/seq")) {
    // ALSA would only fail, noisily; go to JACK straight away.
    fallbackReason_ = "no ALSA sequencer (/dev/snd/seq)";
    api = Api::Jack;
  }
  if (api != Api::Jack) {
    try {
      probeIn_ = std::make_unique<RtMidiIn>(RtMidi::LINUX_ALSA, client_);
      probeIn_->setErrorCallback(&ErrorSink::Callback, &ProbeSink());
      probeOut_ = std::make_unique<RtMidiOut>(RtMidi::LINUX_ALSA, client_);
      probeOut_->setErrorCallback(&ErrorSink::Callback, &ProbeSink());
      api_ = RtMidi::LINUX_ALSA;
      return;
    } catch (const RtMidiError& e) {
      // No ALSA sequencer (no /dev/snd/seq): fall back to JACK.
      fallbackReason_ = e.getMessage();
      probeIn_.reset();
      probeOut_.reset();
      if (api == Api::Alsa) throw MidiError("ALSA MIDI is not available: " + fallbackReason_);
    }
  }
  // JACK is spoken to directly (see JackMidi.h); no server yet is no error.
  api_ = RtMidi::UNIX_JACK;
  jack_ = std::make_unique<JackMidi>(client_);
}

RtMidiDriver::~RtMidiDriver() = default;

std::string RtMidiDriver::ApiName() const { return api_ == RtMidi::LINUX_ALSA ? "ALSA" : "JACK"; }

std::vector<std::string> RtMidiDriver::InputNames() {
  return jack_ ? CleanNames(jack_->Sources()) : Names(*probeIn_, ProbeSink());
}

std::vector<std::string> RtMidiDriver::OutputNames() {
  return jack_ ? CleanNames(jack_->Destinations()) : Names(*probeOut_, ProbeSink());
}

std::unique_ptr<MidiOutputPort> RtMidiDriver::OpenOutput(int index, const std::string& name) {
  if (jack_) return jack_->OpenOutput(client_ + " out", FindJackPort(jack_->Destinations(), index, name));
  auto sink = std::make_unique<ErrorSink>();
  auto out = MakeRtPort<RtMidiOut>(static_cast<RtMidi::Api>(api_), client_, *sink);
  const unsigned port = FindPort(*out, *sink, index, name);
  out->openPort(port, client_ + " out");
  sink->ThrowIfFailed();
  return std::make_unique<RtOutput>(std::move(out), std::move(sink));
}

std::unique_ptr<MidiInputPort> RtMidiDriver::OpenInput(int index, const std::string& name, InputCallback callback) {
  if (jack_) return jack_->OpenInput(client_ + " in", FindJackPort(jack_->Sources(), index, name), std::move(callback));
  auto sink = std::make_unique<ErrorSink>();
  auto in = MakeRtPort<RtMidiIn>(static_cast<RtMidi::Api>(api_), client_, *sink);
  const unsigned port = FindPort(*in, *sink, index, name);
  in->openPort(port, client_ + " in");
  sink->ThrowIfFailed();
  return std::make_unique<RtInput>(std::move(in), std::move(sink), std::move(callback));
}

std::unique_ptr<MidiOutputPort> RtMidiDriver::OpenVirtualOutput(const std::string& portName) {
  if (jack_) return jack_->OpenOutput(portName, "");
  auto sink = std::make_unique<ErrorSink>();
  auto out = MakeRtPort<RtMidiOut>(static_cast<RtMidi::Api>(api_), client_, *sink);
  out->openVirtualPort(portName);
  sink->ThrowIfFailed();
  return std::make_unique<RtOutput>(std::move(out), std::move(sink));
}

std::unique_ptr<MidiInputPort> RtMidiDriver::OpenVirtualInput(const std::string& portName, InputCallback callback) {
  if (jack_) return jack_->OpenInput(portName, "", std::move(callback));
  auto sink = std::make_unique<ErrorSink>();
  auto in = MakeRtPort<RtMidiIn>(static_cast<RtMidi::Api>(api_), client_, *sink);
  in->openVirtualPort(portName);
  sink->ThrowIfFailed();
  return std::make_unique<RtInput>(std::move(in), std::move(sink), std::move(callback));
}

}  // namespace tarvix
