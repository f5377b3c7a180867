#pragma once
// Turns the instrument's replies into stored data and runs the commands that
// talk to the instrument: reading a bank, all banks, one sound, the edit
// buffer and the global data; sending selected sounds or a file; auditioning
// a slot; Panic; the multi-mode switch.
//
// Replies are told apart by what was last requested (Kind). Reads of many
// sounds are chained: each reply triggers the request for the next pair on
// the request stack, after a small gap (fast reads) or the MIDI delay. A read
// stores only sound dumps of slots it asked for, each by its own bank and
// program bytes; at the end of a pass it asks again for every slot that has
// no valid reply yet, for a few rounds, and then names what is still missing
// (Missing). Only one job (a read, a fetch, a send) runs at a time: a command
// given while one runs is refused and logged. Everything
// here runs on the interface thread: the port layer hands replies over
// through the Scheduler, and pauses are Scheduler::runAfter, never sleeps.

#include <bitset>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/BankSet.h"
#include "library/Log.h"
#include "library/Prompter.h"
#include "midi/GlobalData.h"
#include "midi/MidiService.h"
#include "midi/ReceiverUi.h"
#include "midi/RequestStack.h"
#include "midi/Scheduler.h"

namespace tarvix {

enum class RequestKind { None, BankSounds, EditorSound, GlobalDump, LockerSound };

class ReceiveDispatcher : public MidiInputHandler {
 public:
  using Done = std::function<void()>;

  ReceiveDispatcher(BankSet& blofeld, InstrumentLink& link, Scheduler& scheduler, ReceiverUi& ui, Log& log);

  // Settings every message and chained send uses; the window keeps them in
  // step with the settings dialog.
  std::uint8_t DeviceId = 0;
  int MidiDelayMs = 250;
  // Reads chain the next request kFastReadGapMs after a reply is stored
  // instead of waiting the MIDI delay; the delay then paces only sends, which
  // the instrument has to store.
  bool FastRead = true;
  static constexpr int kFastReadGapMs = 1;

  // Receive state.
  RequestStack Requests;
  RequestKind Kind = RequestKind::None;
  bool Receiving = false;
  int ReceivedCount = 0;
  bool WaitingForCurrentSound = false;
  SoundData CurrentSound{};
  int CurrentSoundStatus = 0;  // 0 nothing, 1 open the editor, 2 open the locker
  GlobalData Globals{};
  // After a read: the slots it asked for that never came intact, in slot
  // order. After a send: the selected slots that were not sent.
  std::vector<int> Missing;
  // After a send: how many messages were sent and how many were meant to.
  int SentCount = 0, SendTotal = 0;
  // The last job was ended with "&Close" (Cancel).
  bool Cancelled = false;

  // Hooks for the window, all called on the interface thread.
  // A Blofeld slot was stored or sent: refresh its row.
  std::function<void(int index)> OnSlotChanged;
  // A job started (true) or ended (false): the window disables and enables
  // the commands that start jobs.
  std::function<void(bool busy)> OnBusyChanged;
  // Set while the editor is open: short messages from the instrument.
  std::function<void(std::uint8_t status, std::uint8_t data1, std::uint8_t data2)> ControllerHandler;

  // MidiInputHandler (called by the port layer on the interface thread).
  void OnShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  void OnLongData(std::span<const std::uint8_t> recorded) override;

  // Commands. done runs when the receive dialog has closed (or the send has
  // finished); the window refreshes its lists there.
  void ReadBank(int bank, Done done = {});
  void ReadAll(Done done = {});
  // Banks first..last (0..7), in one chain from first/program 0 on.
  void ReadBanks(int first, int last, Done done = {});
  void ReadCurrentSound(int slot, Done done = {});
  // kind is EditorSound (F4) or LockerSound; on arrival CurrentSoundStatus
  // becomes 1 or 2.
  void FetchEditBuffer(RequestKind kind, Done done = {});
  // False when another job runs (nothing is asked).
  bool RequestGlobals(Done done = {});
  // The selected Blofeld rows that are not empty, in row order, paced by the
  // MIDI delay; the changed flag is cleared for each one the port accepted.
  // "&Close" (Cancel) stops it; the sounds not sent keep their flags.
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
  // it was sent, done(false) when no global data came: nothing changed,
  // nothing sent.
  void SetMultiMode(bool on, std::function<void(bool sent)> done = {});
  // A part now plays the given slot (selecting a row).
  void StorePartSound(int part, int flatIndex) { Globals.SetPartSound(part, flatIndex); }

  // Receiving off (window activated).
  void StopReceive();
  // Receiving off and the stack emptied (a row was selected or deselected).
  void CancelRequests();
  // The receive dialog's 1000 ms timer and its "&Close" button.
  void DialogTick();
  void DialogCloseClicked();
  // During a chained read or an edit-buffer fetch whose reply has not come:
  // sends the open request once more (a transport may lose a message). Returns whether it did. The
  // dispatcher does this by itself when a reply is overdue (ReplyTimeoutMs),
  // up to kMaxResends times per request; after that the read waits for
  // "&Close" like one from a silent instrument.
  bool RequestAgain();
  // How long a chained read waits for a reply before asking again: twice the
  // slowest recent round trip of this read plus 20 ms, at least kMinReplyTimeoutMs;
  // kFirstReplyTimeoutMs until a round trip has been measured. Each resend
  // of the same request doubles it. After kMaxResends the read moves on; the
  // slot is asked for again at the end of the pass (kExtraRounds rounds). A
  // read whose last kSilentAfter requests all went unanswered ends at once:
  // the instrument is gone.
  int ReplyTimeoutMs() const;
  static constexpr int kFirstReplyTimeoutMs = 500;
  static constexpr int kMinReplyTimeoutMs = 50;
  static constexpr int kMaxReplyTimeoutMs = 5000;
  static constexpr int kMaxResends = 1;
  static constexpr int kExtraRounds = 3;
  static constexpr int kSilentAfter = 8;
  // CurrentSoundStatus, reset to 0: the window's 200 ms timer calls this.
  int TakeCurrentSoundStatus();
  bool Sending() const { return sending_; }
  // A read, fetch or send is running.
  bool Busy() const { return job_; }
  // Whether the instrument has shown that it computes checksums: from then
  // on 7F is no longer taken in place of the sum.
  bool ChecksumsProven() const { return checksumsProven_; }

 private:
  void StartReceive(std::size_t size);
  void StartBankRead(Done done);
  void SendRequest(std::uint8_t bank, std::uint8_t program);
  void ArmReplyTimer();
  void MeasureRoundTrip();
  void ChainNext(std::uint64_t session);
  void SendNext();
  void GiveUpRequest();
  void EndOfPass();
  void FinishRead();
  void ResendSoon();
  const char* DumpDefect(std::span<const std::uint8_t> data);
  bool BeginJob(const char* what);
  void EndJob();
  void ShowProgress(const char* verb, int done, int total);
  void FinishSend(const std::string& what, const std::string& unsent);
  void HandleBankSound(std::span<const std::uint8_t> data);
  void HandleCurrentSound(std::span<const std::uint8_t> data, int status);
  void HandleGlobals(std::span<const std::uint8_t> data);
  bool ReplyOutstanding() const;
  void NewSession(const char* title);
  void RunAudition();

  BankSet& blofeld_;
  InstrumentLink& link_;
  Scheduler& scheduler_;
  ReceiverUi& ui_;
  Log& log_;

  // Each request session gets a number; delayed continuations of an older
  // session (the user closed the dialog meanwhile) do nothing.
  std::uint64_t session_ = 0;
  bool awaiting_ = false;  // a request went out and its reply has not come
  std::int64_t requestedAt_ = 0;       // the last send of the open request
  std::int64_t firstRequestedAt_ = 0;  // its first send: resends do not hold the dialog open
  int lastRequestKey_ = -1;  // bank * 128 + program of the last sound request
  int resends_ = 0;          // times the open request was sent again
  std::uint64_t requestSerial_ = 0;  // every request sent; an overdue check is for one of them
  double roundTripMs_ = -1;  // slowest recent round trip of this read, decaying; -1 unknown
  bool sending_ = false;
  std::bitset<kSlotCount> seen_;    // slots received intact in this read
  std::bitset<kSlotCount> wanted_;  // slots this read asks for
  int round_ = 0;                   // 0 the first pass, then the re-ask rounds
  int unansweredInARow_ = 0;        // requests given up since the last intact reply
  bool job_ = false;                // a job runs
  bool cancelSend_ = false;         // "&Close" pressed during a send
  bool checksumsProven_ = false;
  std::int64_t jobStartedAt_ = 0;

  struct Audition {
    std::function<void()> send;
    int pauseMs;
  };
  std::deque<Audition> auditions_;
  bool auditionPause_ = false;
};

}  // namespace tarvix
