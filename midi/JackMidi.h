#pragma once
// MIDI over JACK, straight on libjack. RtMidi's JACK backend frees an
// output's ring buffer while the client's process thread may still be reading
// it, and clears an input's callback while that thread may be about to call
// it: closing a port under load could crash the program. Here every port is a
// client of its own, and closing one deactivates the client (which waits for
// its process thread) before anything the thread uses is released.
//
// An output also keeps what does not fit into one period's MIDI buffer for the
// next period instead of dropping it, so a burst of dumps arrives whole.

#include <memory>
#include <string>
#include <vector>

#include "midi/MidiDriver.h"

typedef struct _jack_client jack_client_t;

namespace tarvix {

class JackMidi {
 public:
  // Never throws: without a server the lists are empty, and the next listing
  // tries again, so a server started later is found.
  explicit JackMidi(std::string clientName);
  ~JackMidi();
  JackMidi(const JackMidi&) = delete;
  JackMidi& operator=(const JackMidi&) = delete;

  // Full port names ("client:port") of the MIDI ports one can read from
  // (other clients' outputs) and write to.
  std::vector<std::string> Sources();
  std::vector<std::string> Destinations();

  // A port named portName in a client of its own, connected to the given
  // port; with an empty one, a port other programs connect to. Throw MidiError.
  std::unique_ptr<MidiOutputPort> OpenOutput(const std::string& portName, const std::string& destination);
  std::unique_ptr<MidiInputPort> OpenInput(const std::string& portName, const std::string& source,
                                           MidiDriver::InputCallback callback);

  // Bytes an output holds for the process thread; a longer message is refused.
  static constexpr std::size_t kRingBytes = 1 << 16;

 private:
  std::vector<std::string> Ports(unsigned long flags);
  std::string client_;
  jack_client_t* lister_ = nullptr;  // never activated: it only lists ports
};

}  // namespace tarvix
