#pragma once
// The platform MIDI service: ALSA through RtMidi where the sequencer exists,
// JACK otherwise (or as asked), spoken to directly (JackMidi). Port names are shown without ALSA's volatile
// trailing "client:port" numbers, so a stored name still matches after the
// instrument is plugged in again. Ports are opened by name as well as index:
// RtMidi opens a wrong port silently when the list has changed.

#include <memory>
#include <string>
#include <vector>

#include "midi/MidiDriver.h"

class RtMidiIn;
class RtMidiOut;

namespace tarvix {

class JackMidi;

class RtMidiDriver : public MidiDriver {
 public:
  enum class Api { Auto, Alsa, Jack };
  // Throws MidiError when no MIDI service at all can be reached.
  explicit RtMidiDriver(Api api = Api::Auto, std::string clientName = "Tarvix");
  ~RtMidiDriver() override;

  std::vector<std::string> InputNames() override;
  std::vector<std::string> OutputNames() override;
  std::unique_ptr<MidiOutputPort> OpenOutput(int index, const std::string& name) override;
  std::unique_ptr<MidiInputPort> OpenInput(int index, const std::string& name, InputCallback callback) override;

  // Ports other programs connect to (the command-line instrument).
  std::unique_ptr<MidiOutputPort> OpenVirtualOutput(const std::string& portName);
  std::unique_ptr<MidiInputPort> OpenVirtualInput(const std::string& portName, InputCallback callback);

  // "ALSA" or "JACK".
  std::string ApiName() const;
  // Why ALSA was passed over, when it was ("" otherwise).
  const std::string& FallbackReason() const { return fallbackReason_; }

  // "Blofeld:Blofeld MIDI 1 20:0" -> "Blofeld:Blofeld MIDI 1".
  static std::string CleanPortName(const std::string& raw);

 private:
  int api_;  // RtMidi::Api
  std::string client_;
  std::string fallbackReason_;
  std::unique_ptr<RtMidiIn> probeIn_;
  std::unique_ptr<RtMidiOut> probeOut_;
  std::unique_ptr<JackMidi> jack_;  // set when JACK is the service
};

}  // namespace tarvix
