#pragma once
// Test doubles for the MIDI link: an output that records, a link that plays the instrument on the manual clock, a
// receive dialog that records.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "library/BankSet.h"
#include "midi/ManualScheduler.h"
#include "midi/MidiService.h"
#include "midi/ReceiverUi.h"
#include "midi/SysExMessages.h"
#include "midi/VirtualInstrument.h"

namespace tarvix::test {

using Bytes = std::vector<std::uint8_t>;

class RecordingOut : public MidiOut {
 public:
  void SendShort(std::uint8_t s, std::uint8_t d1, std::uint8_t d2) override { sent.push_back({s, d1, d2}); }
  void SendLong(std::span<const std::uint8_t> b) override { sent.emplace_back(b.begin(), b.end()); }
  void ResetOutput() override { ++resets; }
  std::vector<Bytes> sent;
  int resets = 0;
};

// Answers sound and global requests like the instrument, after latencyMs of manual-clock time, by handing the reply to
// OnLongData when the buffer is armed. Replies can be replaced or dropped per request.
class ScriptedLink : public InstrumentLink {
 public:
  explicit ScriptedLink(ManualScheduler& clock) : clock_(clock) {}
  MidiInputHandler* handler = nullptr;
  int latencyMs = 5;
  bool silent = false;
  // Returns the reply to a request, or nothing to stay silent.
  std::function<std::optional<Bytes>(const Bytes& request)> answer;
  std::vector<Bytes> sent;
  std::vector<std::pair<std::int64_t, Bytes>> sentAt;
  std::size_t armedSize = 0;

  void SendShort(std::uint8_t s, std::uint8_t d1, std::uint8_t d2) override { Record({s, d1, d2}); }
  void SendLong(std::span<const std::uint8_t> b) override {
    Bytes m(b.begin(), b.end());
    Record(m);
    if (silent || m.size() < 5 || m[0] != 0xF0) return;
    if (m[4] != sysex::kSoundRequest && m[4] != sysex::kGlobalRequest) return;
    std::optional<Bytes> reply = answer ? answer(m) : DefaultReply(m);
    if (reply) Deliver(*reply, latencyMs);
  }
  void ResetOutput() override {}
  // A port that stalls or fails: messages it refuses are recorded but not taken (refuse returns true for them).
  std::function<bool(const Bytes&)> refuse;
  std::size_t maxMessage = static_cast<std::size_t>(-1);
  bool Transmit(std::span<const std::uint8_t> b) override {
    if (refuse && refuse(Bytes(b.begin(), b.end()))) return false;
    SendLong(b);
    return true;
  }
  std::size_t MaxMessageSize() const override { return maxMessage; }
  bool PrepareReceive(std::size_t size) override {
    armedSize = size;
    return true;
  }
  // Delivers bytes as the port layer would: only into an armed buffer.
  void Deliver(Bytes reply, int afterMs) {
    clock_.runAfter(afterMs, [this, reply] {
      if (!armedSize || !handler) return;
      const std::size_t n = std::min(reply.size(), armedSize);
      armedSize = 0;
      Bytes buffer(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(n));
      handler->OnLongData(buffer);
    });
  }
  static Bytes DefaultReply(const Bytes& request) {
    if (request[4] == sysex::kGlobalRequest) {
      GlobalData g = VirtualInstrument::DemoGlobals();
      return Bytes(g.bytes.begin(), g.bytes.end());
    }
    const int bank = request[5], program = bank == 0x7F ? 0 : request[6];
    SoundData s = VirtualInstrument::DemoSound(bank == 0x7F ? 1000 : bank * 128 + program);
    s[offs::kBank] = static_cast<std::uint8_t>(bank);
    s[offs::kProgram] = static_cast<std::uint8_t>(program);
    s[offs::kChecksum] = ChecksumOf(s);
    return Bytes(s.bytes.begin(), s.bytes.end());
  }
  std::vector<Bytes> SoundRequests() const {
    std::vector<Bytes> r;
    for (const auto& m : sent)
      if (m.size() == 9 && m[4] == sysex::kSoundRequest) r.push_back(m);
    return r;
  }

 private:
  void Record(Bytes m) {
    sentAt.emplace_back(clock_.nowMs(), m);
    sent.push_back(std::move(m));
  }
  ManualScheduler& clock_;
};

// The receive dialog as the dispatcher sees it, with its 1000 ms timer on the manual clock.
class FakeReceiverUi : public ReceiverUi {
 public:
  std::vector<std::string> labels;
  std::string title = receiver_text::kCaption;
  bool modal = false, modeless = false;
  std::function<void()> onClosed;

  void SetLabel(const std::string& t) override { labels.push_back(t); }
  void SetTitle(const std::string& t) override { title = t; }
  void ShowModal(std::function<void()> closed) override {
    modal = true;
    onClosed = std::move(closed);
  }
  void ShowModeless() override { modeless = true; }
  void Hide() override { modeless = false; }
  void Close() override {
    modeless = false;
    if (!modal) return;
    modal = false;
    if (auto f = std::move(onClosed)) f();
  }
  std::string Label() const { return labels.empty() ? receiver_text::kWaiting : labels.back(); }
};

}  // namespace tarvix::test
