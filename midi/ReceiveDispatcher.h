#pragma once
// The program's side of the conversation with the instrument. Commands that
// talk to it (reading a bank, all banks, one sound, the edit buffer and the
// global data; sending selected sounds or a file) become transfer jobs
// (BankReadJob, FetchJobs, SendJobs) run one at a time by a TransferQueue; a
// command given while one runs is refused and logged. Incoming System
// Exclusive messages and the receive dialog's timer and button go to the
// running job; short messages go to the editor while it is open. Auditions,
// Panic and the multi-mode switch are single messages sent from here.
// Everything runs on the interface thread: the port layer hands replies over
// through the Scheduler, and pauses are Scheduler::runAfter, never sleeps.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <span>

#include "library/Prompter.h"
#include "midi/BankReadJob.h"
#include "midi/TransferJob.h"
#include "midi/TransferQueue.h"

namespace tarvix {

// What a fetched edit buffer is for.
enum class RequestKind { EditorSound, LockerSound };

// The settings and the results of the last job are the TransferContext's
// fields (DeviceId, MidiDelayMs, FastRead; Missing, SentCount, SendTotal,
// Cancelled, CurrentSound, Globals).
class ReceiveDispatcher : public TransferContext, public MidiInputHandler {
 public:
  using Done = std::function<void()>;

  ReceiveDispatcher(BankSet& blofeld, InstrumentLink& link, Scheduler& scheduler, ReceiverUi& ui, Log& log);

  // A job started (true) or ended (false): the window disables and enables
  // the commands that start jobs.
  std::function<void(bool busy)> OnBusyChanged;
  // Set while the editor is open: short messages from the instrument.
  std::function<void(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)> ControllerHandler;

  // MidiInputHandler (called by the port layer on the interface thread).
  void OnShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  void OnLongData(std::span<const std::uint8_t> recorded) override;

  // Commands. done runs when the receive dialog has closed (or the send has
  // finished); the window refreshes its lists there. Refused (done never
  // runs) while another job runs.
  void ReadBank(int bank, Done done = {});
  void ReadAll(Done done = {});
  // Banks first..last (0..7), in one chain from first/program 0 on.
  void ReadBanks(int first, int last, Done done = {});
  void ReadCurrentSound(int slot, Done done = {});
  // On arrival CurrentSoundStatus becomes 1 (EditorSound, F4) or 2.
  void FetchEditBuffer(RequestKind kind, Done done = {});
  // False when another job runs (nothing is asked).
  bool RequestGlobals(Done done = {});
  void SendSelectedSounds(Done done = {});
  // Refreshes the Blofeld checksums, asks for a file and sends it message by
  // message, paced by the MIDI delay. Throws when the file cannot be read.
  void SendSysExFromFile(Prompter& prompter, Done done = {});
  void SendSysExFile(const std::filesystem::path& file, Done done = {});
  void Panic();
  // Auditions a slot: to the edit buffer when toEditBuffer, else bank select
  // + program change on channel, followed by the MIDI delay before the next
  // audition goes out.
  void SelectProgram(const BankSet& set, int slot, bool toEditBuffer, int channel);
  // Switches multi mode in the global data and sends it. The global data go
  // back whole, so they must have come from the instrument first; without
  // them the instrument is asked, then the switch goes out. done(true) once
  // it was sent, done(false) when nothing was sent: no global data came, or
  // a job was running (its requests and the switch would cross).
  void SetMultiMode(bool on, std::function<void(bool sent)> done = {});
  // A part now plays the given slot (selecting a row).
  void StorePartSound(int part, int flatIndex) { Globals.SetPartSound(part, flatIndex); }

  // The receive dialog's 1000 ms timer and its "&Close" button.
  void DialogTick() { queue_.Tick(); }
  void DialogCloseClicked() { queue_.CloseClicked(); }
  // Sends the running job's open request once more (a transport may lose a
  // message); false when none is open. Jobs do this by themselves when a
  // reply is overdue.
  bool RequestAgain();
  // The running job's current reply timeout (see RequestJob).
  int ReplyTimeoutMs() const;
  static constexpr int kFirstReplyTimeoutMs = RequestJob::kFirstReplyTimeoutMs;
  static constexpr int kMinReplyTimeoutMs = RequestJob::kMinReplyTimeoutMs;
  static constexpr int kMaxReplyTimeoutMs = RequestJob::kMaxReplyTimeoutMs;
  static constexpr int kMaxResends = RequestJob::kMaxResends;
  static constexpr int kExtraRounds = BankReadJob::kExtraRounds;
  static constexpr int kSilentAfter = BankReadJob::kSilentAfter;
  // CurrentSoundStatus, reset to 0: the window's 200 ms timer calls this.
  int TakeCurrentSoundStatus();
  // A read, fetch or send is running.
  bool Busy() const { return queue_.Busy(); }
  // The running job awaits a reply.
  bool Receiving() const;

 private:
  void RunAudition();

  TransferQueue queue_;
  struct Audition {
    std::function<void()> send;
    int pauseMs;
  };
  std::deque<Audition> auditions_;
  bool auditionPause_ = false;
};

}  // namespace tarvix
