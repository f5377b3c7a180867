#pragma once
// What a platform MIDI service offers the program: numbered input and output
// ports with names, opening them, sending bytes and receiving byte chunks on
// the service's own thread. MidiService builds the program's port layer on
// top of it; the RtMidi backend and the tests' fakes implement it.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tarvix {

// Failures of the MIDI service, with the service's own message.
struct MidiError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class MidiOutputPort {
 public:
  virtual ~MidiOutputPort() = default;  // closes the port
  // One complete message. Not called from two threads at once.
  virtual void Send(std::span<const std::uint8_t> bytes) = 0;
  // The longest message Send takes; longer ones throw.
  virtual std::size_t MaxMessageSize() const { return static_cast<std::size_t>(-1); }
};

class MidiInputPort {
 public:
  virtual ~MidiInputPort() = default;  // stops and closes the port
  // Begin delivering chunks to the callback given at opening. Throws MidiError.
  virtual void Start() = 0;
  // Stop delivering; when this returns no callback is running or will run.
  virtual void Stop() = 0;
};

class MidiDriver {
 public:
  // Called on the service's thread with a chunk of received bytes: usually
  // one whole message, but System Exclusive may come in pieces.
  using InputCallback = std::function<void(std::span<const std::uint8_t> chunk)>;

  virtual ~MidiDriver() = default;
  virtual std::vector<std::string> InputNames() = 0;
  virtual std::vector<std::string> OutputNames() = 0;
  // index is the position in the last name list; name is the name seen
  // there, so a port list that changed since is caught. Throw MidiError.
  virtual std::unique_ptr<MidiOutputPort> OpenOutput(int index, const std::string& name) = 0;
  virtual std::unique_ptr<MidiInputPort> OpenInput(int index, const std::string& name, InputCallback callback) = 0;
};

}  // namespace tarvix
