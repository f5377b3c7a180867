#pragma once
// The program's MIDI port layer: the device lists, the instrument output, the
// instrument input and the controller input, the receive buffer for the next
// System Exclusive reply, and the controller pass-through.
//
// Device 0 of both lists is always the built-in virtual instrument; the
// platform's ports (a MidiDriver, may be absent) follow from number 1 on.
// Everything but the input callbacks is called on the interface thread.
// Input arrives on the service's thread, is assembled into whole messages and
// handed to the interface thread through the Scheduler, in arrival order; only
// the controller pass-through runs on the service's thread. Every send to the
// output takes one lock, as platform outputs are not safe for two threads.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "library/Log.h"
#include "midi/MidiAssembler.h"
#include "midi/MidiDriver.h"
#include "midi/Scheduler.h"

namespace tarvix {

class VirtualInstrument;

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

// The output plus the receive buffer: what the receive dispatcher needs of
// the port layer (the tests give it a fake).
class InstrumentLink : public MidiOut {
 public:
  // Arms the receive buffer for the next System Exclusive message, offering
  // its first size bytes. Returns whether it was armed.
  virtual bool PrepareReceive(std::size_t size) = 0;
  // Sends one System Exclusive message and says whether the port took it: a
  // closed output, a stalled or failing port, a message too long for the
  // transport return false.
  virtual bool Transmit(std::span<const std::uint8_t> bytes) {
    SendLong(bytes);
    return true;
  }
  // The longest System Exclusive message the port carries.
  virtual std::size_t MaxMessageSize() const { return static_cast<std::size_t>(-1); }
};

// One entry of a device list: the name as shown and stored, and the number
// the port is opened by.
// Whether a device name is the instrument's own port (its USB port shows up
// under one of a few names).
bool IsDefaultInstrumentName(const std::string& name);

struct TMidiDeviceList {
  std::string name;
  int number = 0;
  bool operator==(const TMidiDeviceList&) const = default;
};

// The chosen ports. An empty name means none was chosen; the number then
// keeps its last value.
struct MidiPortSelection {
  std::string inName, outName, controllerName;
  int inNumber = 0, outNumber = 0, controllerNumber = 0;
};

// Receives what arrives on the instrument input, on the interface thread.
class MidiInputHandler {
 public:
  virtual ~MidiInputHandler() = default;
  virtual void OnShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) = 0;
  // A completed receive buffer: the bytes recorded into it.
  virtual void OnLongData(std::span<const std::uint8_t> recorded) = 0;
};

class MidiService : public InstrumentLink {
 public:
  static constexpr std::size_t kReceiveBufferSize = 3920;  // ten sound dumps
  // Windows' multimedia error codes, kept so the log lines read as they
  // always have.
  static constexpr int kInvalidHandle = 5;
  static constexpr int kInvalidParameter = 11;

  // Traces every message: out = true for sends, false for input (called on
  // the service's thread for input).
  using Trace = std::function<void(bool out, std::span<const std::uint8_t> bytes)>;

  MidiService(MidiDriver* driver, VirtualInstrument& instrument, Scheduler& scheduler, Log& log);
  ~MidiService() override;
  MidiService(const MidiService&) = delete;
  MidiService& operator=(const MidiService&) = delete;

  std::vector<TMidiDeviceList> InputDevices;
  std::vector<TMidiDeviceList> OutputDevices;
  MidiPortSelection Ports;

  // Rebuild both lists: the virtual instrument, then the platform's ports.
  void EnumerateDevices();
  // Names containing "Waldorf Blofeld" or "USB2 Audio", or beginning with
  // "Blofeld", choose the instrument input and output; the last match wins.
  // The controller is never chosen this way. Names are not changed.
  void MatchDefaultDevices();
  // Stored names to numbers; the last equal entry wins; no match keeps the number.
  void ResolveDeviceNumbers();

  // Opens the instrument output by its number. On failure the reason is
  // logged and false returned: the caller shows "Midi Open error" and calls
  // OpenVirtualOutput(), so the program goes on with the built-in instrument.
  bool OpenOutput();
  void OpenVirtualOutput();
  // Opens the instrument input, and the controller input when a controller
  // name is stored. Returns the texts to show in message boxes ("Midi IN
  // Start error", "Midi Controller IN Start error"); open failures are only
  // logged.
  std::vector<std::string> OpenInputs();
  void CloseInputs();
  void CloseOutput();
  struct ReopenResult {
    bool outputOpened = true;
    std::vector<std::string> inputErrors;
  };
  // After the MIDI settings dialog: resolve, close and open inputs, close and
  // open the output.
  ReopenResult Reopen();

  void SendShort(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  void SendLong(std::span<const std::uint8_t> bytes) override;
  bool Transmit(std::span<const std::uint8_t> bytes) override;
  std::size_t MaxMessageSize() const override;
  void ResetOutput() override;

  // Arms the receive buffer for the next System Exclusive message, offering
  // its first size bytes (at most 3920). Failures are logged; returns whether
  // the buffer was armed.
  bool PrepareReceive(std::size_t size) override;
  const std::array<std::uint8_t, kReceiveBufferSize>& ReceiveBuffer() const { return receiveBuffer_; }

  void SetInstrumentHandler(MidiInputHandler* handler) { handler_ = handler; }
  void SetTrace(Trace trace);

  bool OutputOpen() const;
  bool InstrumentInputOpen() const { return instrumentIn_ != nullptr; }
  bool ControllerInputOpen() const { return controllerIn_ != nullptr; }
  // System Exclusive messages that arrived with no buffer armed.
  int UnexpectedMessages() const { return unexpected_; }

 private:
  std::unique_ptr<MidiOutputPort> MakeOutput(int number);
  std::unique_ptr<MidiInputPort> MakeInput(int number, MidiDriver::InputCallback callback);
  // Returns whether the port took the bytes; failures are logged when
  // logFailure (not on the controller thread, which has no log).
  bool SendBytes(std::span<const std::uint8_t> bytes, bool logFailure = false);
  void Deliver(const std::vector<std::uint8_t>& message);
  void CloseInput(std::unique_ptr<MidiInputPort>& port, const char* what);

  MidiDriver* driver_;
  VirtualInstrument& instrument_;
  Scheduler& scheduler_;
  Log& log_;
  MidiInputHandler* handler_ = nullptr;

  mutable std::mutex sendMutex_;  // guards output_ and trace_ for every send
  std::unique_ptr<MidiOutputPort> output_;
  Trace trace_;

  std::unique_ptr<MidiInputPort> instrumentIn_;
  std::unique_ptr<MidiInputPort> controllerIn_;
  // Assemblers live as long as the service; each is fed only by its input's
  // thread while that input is open.
  MidiAssembler instrumentAssembler_;
  MidiAssembler controllerAssembler_;

  std::array<std::uint8_t, kReceiveBufferSize> receiveBuffer_{};
  std::size_t armedSize_ = 0;  // 0 when no buffer is armed
  int unexpected_ = 0;
  // Tasks posted to the interface thread check this, so input that arrives
  // while the service is being destroyed is dropped safely.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarvix
