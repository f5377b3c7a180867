#pragma once
// A transfer with the instrument, one object per kind: a bank read, an
// edit-buffer or global-data fetch, a send of selected sounds or of a file.
// A job owns its state, its retries and its session with the receive dialog;
// TransferQueue runs one at a time and hands it the replies. Everything runs
// on the interface thread. A job's delayed steps (After) do nothing once it
// has ended, so a closed dialog or a new job is never disturbed by them.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "library/BankSet.h"
#include "library/Log.h"
#include "midi/GlobalData.h"
#include "midi/MidiService.h"
#include "midi/ReceiverUi.h"
#include "midi/Scheduler.h"

namespace tarvix {

// "A001, B003": slots as the user knows them.
std::string SlotList(const std::vector<int>& slots);

// What every job works with and leaves behind: the ports, the settings the
// window keeps in step with its dialog, and the results of the last job.
struct TransferContext {
  TransferContext(BankSet& blofeld, InstrumentLink& link, Scheduler& scheduler, ReceiverUi& ui, Log& log)
      : blofeld(blofeld), link(link), scheduler(scheduler), ui(ui), log(log) {}

  // Settings every message and chained send uses.
  std::uint8_t DeviceId = 0;
  int MidiDelayMs = 250;
  // Reads chain the next request kFastReadGapMs after a reply is stored
  // instead of waiting the MIDI delay; the delay then paces only sends, which
  // the instrument has to store.
  bool FastRead = true;
  static constexpr int kFastReadGapMs = 1;

  // Results. After a read: the slots it asked for that never came intact, in
  // slot order. After a send: the selected slots that were not sent.
  std::vector<int> Missing;
  // After a send: how many messages were sent and how many were meant to.
  int SentCount = 0, SendTotal = 0;
  // The last job was ended with "&Close" (Cancel).
  bool Cancelled = false;
  // The last edit-buffer dump fetched, and what to open with it: 0 nothing,
  // 1 the editor, 2 the locker.
  SoundData CurrentSound{};
  int CurrentSoundStatus = 0;
  // The instrument's global data, once fetched.
  GlobalData Globals{};

  // A Blofeld slot was stored or sent: the window refreshes its row.
  std::function<void(int index)> OnSlotChanged;

  // Whether the instrument has shown that it computes checksums: from then
  // on 7F is no longer taken in place of the sum.
  bool ChecksumsProven() const { return checksumsProven_; }
  // The defect of a reply meant as a sound dump ("" when intact), learning
  // from it whether the instrument computes checksums.
  const char* DumpDefect(std::span<const std::uint8_t> data);

  BankSet& blofeld;
  InstrumentLink& link;
  Scheduler& scheduler;
  ReceiverUi& ui;
  Log& log;

 private:
  bool checksumsProven_ = false;
};

class TransferJob : public std::enable_shared_from_this<TransferJob> {
 public:
  using Done = std::function<void()>;
  TransferJob(TransferContext& context, const char* name, Done done)
      : c_(context), name_(name), done_(std::move(done)) {}
  virtual ~TransferJob() = default;
  TransferJob(const TransferJob&) = delete;
  TransferJob& operator=(const TransferJob&) = delete;

  // "the read": how a refusal names it.
  const char* Name() const { return name_; }
  // Sends the first request or message and shows the dialog; may return only
  // once the job has ended (a window's modal dialog).
  virtual void Start() = 0;
  // A System Exclusive message from the instrument.
  virtual void OnLongData(std::span<const std::uint8_t> /*data*/) {}
  // The dialog's timer and its "&Close" (Cancel) button.
  virtual void Tick() {}
  virtual void CloseClicked() = 0;
  // A reply is expected now.
  virtual bool Receiving() const { return false; }
  // Sends the open request once more; false when there is none.
  virtual bool RequestAgain() { return false; }
  virtual int ReplyTimeoutMs() const;
  bool Ended() const { return ended_; }

 protected:
  // Ends the job (the queue takes the next command), then runs done.
  void Finish();
  // Runs task after ms unless the job has ended by then.
  void After(int ms, std::function<void()> task);
  // "Received 3 of 128 (0:01 elapsed, about 0:40 left)" and the bar.
  void ShowProgress(const char* verb, int done, int total);
  // A fresh dialog session: its title and the waiting line.
  void OpenSession(const char* title);

  TransferContext& c_;

 private:
  friend class TransferQueue;
  const char* name_;
  Done done_;
  std::function<void()> onEnded_;  // set by the queue
  std::int64_t startedAt_ = 0;
  bool ended_ = false;
};

// A job that asks the instrument and waits for replies: the open request,
// its resends and the timing of its replies.
class RequestJob : public TransferJob {
 public:
  using TransferJob::TransferJob;
  bool Receiving() const override { return receiving_; }
  bool RequestAgain() override;
  int ReplyTimeoutMs() const override;

  // How long a request waits for its reply before it is sent again: twice the
  // slowest recent round trip of this job plus 20 ms, at least
  // kMinReplyTimeoutMs; kFirstReplyTimeoutMs until a round trip has been
  // measured. Each resend of the same request doubles it; after kMaxResends
  // the request is given up (OnGivenUp).
  static constexpr int kFirstReplyTimeoutMs = 500;
  static constexpr int kMinReplyTimeoutMs = 50;
  static constexpr int kMaxReplyTimeoutMs = 5000;
  static constexpr int kMaxResends = 1;

 protected:
  // Sends the request for a slot's dump (kEditBufferBank: the edit buffer).
  void SendRequest(std::uint8_t bank, std::uint8_t program);
  // The global data request, which is never sent again.
  void SendGlobalRequest();
  void ArmReplyTimer();
  void MeasureRoundTrip();
  // A damaged reply to the open request: ask again after the usual gap.
  void ResendSoon();
  // A request just sent keeps the dialog up for one timer period.
  bool ReplyOutstanding() const;
  void StartReceive(std::size_t size);
  void ArmBuffer(std::size_t size);
  // The open request went unanswered kMaxResends + 1 times.
  virtual void OnGivenUp() {}
  std::string OpenRequestLabel() const;
  int ChainGapMs() const { return c_.FastRead ? TransferContext::kFastReadGapMs : c_.MidiDelayMs; }

  bool receiving_ = false;
  bool awaiting_ = false;              // a request went out and its reply has not come
  int lastRequestKey_ = -1;            // bank * 128 + program of the last sound request; kSlotCount the edit buffer
  int resends_ = 0;                    // times the open request was sent again

 private:
  std::int64_t requestedAt_ = 0;       // the last send of the open request
  std::int64_t firstRequestedAt_ = 0;  // its first send: resends do not hold the dialog open
  std::uint64_t requestSerial_ = 0;    // every request sent; an overdue check is for one of them
  double roundTripMs_ = -1;            // slowest recent round trip, decaying; -1 unknown
};

}  // namespace tarvix
