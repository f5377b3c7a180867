#pragma once
// What the MIDI sub-commands of tarvix-cli share: a plain-thread event loop
// as the interface thread, the built-in instrument, the platform's ports, the
// port layer and the receive dispatcher, with an optional trace of every
// message on stderr ("ms OUT|IN F0 3E ...").

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "library/BankSet.h"
#include "library/Log.h"
#include "midi/EventLoop.h"
#include "midi/MidiService.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/RtMidiDriver.h"
#include "midi/VirtualInstrument.h"

namespace tarvix::cli {

// The receive dialog of the command line: nothing to show, only the modal
// wait, which the event loop runs until Close().
class CliReceiverUi : public ReceiverUi {
 public:
  void SetLabel(const std::string&) override {}
  void SetTitle(const std::string&) override {}
  void ShowModal(std::function<void()> onClosed) override {
    modal = true;
    onClosed_ = std::move(onClosed);
  }
  void ShowModeless() override {}
  void Hide() override {}
  void Close() override {
    if (!modal) return;
    modal = false;
    if (auto f = std::move(onClosed_)) f();
  }
  bool modal = false;

 private:
  std::function<void()> onClosed_;
};

// "--jack", "--alsa" or neither (ALSA, then JACK).
RtMidiDriver::Api ApiFromFlags(bool jack, bool alsa);

// One line per message on stderr: milliseconds since start, direction, bytes
// in upper-case hex separated by blanks.
void TraceLine(std::chrono::steady_clock::time_point start, bool out, std::span<const std::uint8_t> bytes);

class MidiSession {
 public:
  // The platform's ports are only reached when a port other than the
  // built-in instrument is asked for (usePlatform).
  MidiSession(RtMidiDriver::Api api, bool trace, bool usePlatform = true);
  ~MidiSession();
  // Opens the instrument ports: "virtual" is the built-in instrument, another
  // name the first input and output whose names contain it, no name the
  // default Blofeld match. Throws CliError when nothing fits. Without
  // needInput only the output must exist (sending only).
  void Open(const std::string& port, bool needInput = true);
  // Runs the dialog's 1000 ms timer while the loop runs.
  void StartDialogTimer();

  EventLoop loop;
  MemoryLog log;
  VirtualInstrument instrument;
  std::unique_ptr<RtMidiDriver> driver;
  std::unique_ptr<MidiService> service;
  CliReceiverUi ui;
  BankSet blofeld;
  std::unique_ptr<ReceiveDispatcher> dispatcher;

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tarvix::cli
