#include "midi/JackMidi.h"

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace tarvix {

namespace {

using Clock = std::chrono::steady_clock;

jack_client_t* OpenClient(const std::string& name) {
  jack_status_t status{};
  jack_client_t* c = jack_client_open(name.c_str(), JackNoStartServer, &status);
  if (!c) throw MidiError("Cannot reach the JACK server (status " + std::to_string(static_cast<int>(status)) + ")");
  return c;
}

// A client with one MIDI port, activated with the given process callback and
// connected as asked. Closing deactivates first: jack_deactivate returns only
// when the process thread no longer runs, so what it uses may go after.
class JackPortClient {
 public:
  JackPortClient(const std::string& client, const std::string& port, unsigned long flags)
      : client_(OpenClient(client)) {
    port_ = jack_port_register(client_, port.c_str(), JACK_DEFAULT_MIDI_TYPE, flags, 0);
    if (!port_) {
      jack_client_close(client_);
      throw MidiError("Cannot create the JACK port \"" + port + "\"");
    }
  }
  ~JackPortClient() { Close(); }
  JackPortClient(const JackPortClient&) = delete;
  JackPortClient& operator=(const JackPortClient&) = delete;

  void Activate(JackProcessCallback process, void* arg) {
    if (jack_set_process_callback(client_, process, arg) != 0 || jack_activate(client_) != 0) {
      Close();
      throw MidiError("Cannot activate the JACK client");
    }
  }
  // from and to are full port names; one of them is this client's port.
  void Connect(const std::string& from, const std::string& to) {
    const int rc = jack_connect(client_, from.c_str(), to.c_str());
    if (rc != 0 && rc != EEXIST) {
      Close();
      throw MidiError("Cannot connect the JACK port \"" + from + "\" to \"" + to + "\"");
    }
  }
  std::string PortName() const { return jack_port_name(port_); }
  jack_port_t* Port() const { return port_; }
  void Close() {
    if (!client_) return;
    jack_deactivate(client_);
    jack_client_close(client_);
    client_ = nullptr;
  }

 private:
  jack_client_t* client_;
  jack_port_t* port_ = nullptr;
};

class JackOutput final : public MidiOutputPort {
 public:
  JackOutput(const std::string& client, const std::string& port, const std::string& destination)
      : ring_(jack_ringbuffer_create(JackMidi::kRingBytes), &jack_ringbuffer_free),
        capacity_(ring_ ? jack_ringbuffer_write_space(ring_.get()) : 0),
        jack_(client, port, JackPortIsOutput) {
    if (!ring_) throw MidiError("No memory for the JACK output");
    jack_.Activate(&JackOutput::Process, this);
    if (!destination.empty()) jack_.Connect(jack_.PortName(), destination);
  }

  ~JackOutput() override {
    // What was sent leaves first: the ring empties, then one more period
    // passes so the last events reach the port they are connected to. A
    // stalled server gets a second at most.
    const auto until = Clock::now() + std::chrono::seconds(1);
    while (jack_ringbuffer_read_space(ring_.get()) > 0 && Clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const auto seen = cycles_.load(std::memory_order_acquire);
    while (cycles_.load(std::memory_order_acquire) < seen + 2 && Clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    jack_.Close();
  }

  std::size_t MaxMessageSize() const override { return capacity_ > sizeof(std::uint32_t) ? capacity_ - sizeof(std::uint32_t) : 0; }

  void Send(std::span<const std::uint8_t> bytes) override {
    if (bytes.empty()) return;
    const auto size = static_cast<std::uint32_t>(bytes.size());
    if (sizeof size + bytes.size() > capacity_)
      throw MidiError("A message of " + std::to_string(bytes.size()) + " bytes is too long for the JACK output");
    // The process thread drains the ring once per period; when it is full,
    // wait for room rather than lose a message.
    const auto until = Clock::now() + std::chrono::seconds(2);
    while (jack_ringbuffer_write_space(ring_.get()) < sizeof size + bytes.size()) {
      if (Clock::now() >= until) throw MidiError("The JACK output does not drain; is the server running?");
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    jack_ringbuffer_write(ring_.get(), reinterpret_cast<const char*>(&size), sizeof size);
    jack_ringbuffer_write(ring_.get(), reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

 private:
  static int Process(jack_nframes_t frames, void* arg) {
    auto* self = static_cast<JackOutput*>(arg);
    void* buffer = jack_port_get_buffer(self->jack_.Port(), frames);
    jack_midi_clear_buffer(buffer);
    std::uint32_t size = 0;
    while (jack_ringbuffer_peek(self->ring_.get(), reinterpret_cast<char*>(&size), sizeof size) == sizeof size &&
           jack_ringbuffer_read_space(self->ring_.get()) >= sizeof size + size) {
      // Asking for room that is not there would only make libjack complain.
      jack_midi_data_t* event = jack_midi_max_event_size(buffer) >= size ? jack_midi_event_reserve(buffer, 0, size)
                                                                         : nullptr;
      if (!event) {
        // This period's buffer is full: the rest goes in the next one. A
        // message too big even for an empty buffer can never go; it is dropped.
        if (jack_midi_get_event_count(buffer) > 0) break;
        jack_ringbuffer_read_advance(self->ring_.get(), sizeof size + size);
        continue;
      }
      jack_ringbuffer_read_advance(self->ring_.get(), sizeof size);
      jack_ringbuffer_read(self->ring_.get(), reinterpret_cast<char*>(event), size);
    }
    self->cycles_.fetch_add(1, std::memory_order_release);
    return 0;
  }

  // Declared before the client: the client closes (and its thread stops)
  // before the ring it reads is freed.
  std::unique_ptr<jack_ringbuffer_t, decltype(&jack_ringbuffer_free)> ring_;
  std::size_t capacity_;
  std::atomic<std::uint64_t> cycles_{0};
  JackPortClient jack_;
};

class JackInput final : public MidiInputPort {
 public:
  JackInput(const std::string& client, const std::string& port, const std::string& source,
            MidiDriver::InputCallback callback)
      : callback_(std::move(callback)), jack_(client, port, JackPortIsInput) {
    jack_.Activate(&JackInput::Process, this);
    if (!source.empty()) jack_.Connect(source, jack_.PortName());
  }
  ~JackInput() override { Stop(); }

  void Start() override {
    if (closed_) throw MidiError("The JACK input is closed");
    live_.store(true, std::memory_order_release);
  }
  // The client goes with the stop: its process thread has ended when this
  // returns, so no callback runs afterwards.
  void Stop() override {
    live_.store(false, std::memory_order_release);
    jack_.Close();
    closed_ = true;
  }

 private:
  static int Process(jack_nframes_t frames, void* arg) {
    auto* self = static_cast<JackInput*>(arg);
    if (!self->live_.load(std::memory_order_acquire)) return 0;
    void* buffer = jack_port_get_buffer(self->jack_.Port(), frames);
    const std::uint32_t count = jack_midi_get_event_count(buffer);
    for (std::uint32_t i = 0; i < count; ++i) {
      jack_midi_event_t event;
      if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0) continue;
      // Every message is delivered, clock and active sensing included: the
      // port layer decides what each input keeps.
      self->callback_(std::span<const std::uint8_t>(event.buffer, event.size));
    }
    return 0;
  }

  MidiDriver::InputCallback callback_;
  std::atomic<bool> live_{false};
  bool closed_ = false;
  JackPortClient jack_;  // last: closed first on destruction
};

}  // namespace

JackMidi::JackMidi(std::string clientName) : client_(std::move(clientName)) {}

JackMidi::~JackMidi() {
  if (lister_) jack_client_close(lister_);
}

std::vector<std::string> JackMidi::Ports(unsigned long flags) {
  if (!lister_) {
    try {
      lister_ = OpenClient(client_);
    } catch (const MidiError&) {
      return {};  // no server (yet)
    }
  }
  std::vector<std::string> names;
  if (const char** ports = jack_get_ports(lister_, nullptr, JACK_DEFAULT_MIDI_TYPE, flags)) {
    for (const char** p = ports; *p; ++p) names.emplace_back(*p);
    jack_free(ports);
  }
  return names;
}

std::vector<std::string> JackMidi::Sources() { return Ports(JackPortIsOutput); }

std::vector<std::string> JackMidi::Destinations() { return Ports(JackPortIsInput); }

std::unique_ptr<MidiOutputPort> JackMidi::OpenOutput(const std::string& portName, const std::string& destination) {
  return std::make_unique<JackOutput>(client_, portName, destination);
}

std::unique_ptr<MidiInputPort> JackMidi::OpenInput(const std::string& portName, const std::string& source,
                                                   MidiDriver::InputCallback callback) {
  return std::make_unique<JackInput>(client_, portName, source, std::move(callback));
}

}  // namespace tarvix
