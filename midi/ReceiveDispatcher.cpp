#include "midi/ReceiveDispatcher.h"

#include <algorithm>
#include <cerrno>
#include <fstream>

#include "library/AtomicFile.h"
#include "library/BankOperations.h"
#include "midi/ChannelMessages.h"
#include "midi/MidiAssembler.h"
#include "midi/SysExMessages.h"

namespace tarvix {

namespace {

constexpr std::size_t kFirstReceiveSize = 784;  // room for a reply and one more

std::string MinutesSeconds(std::int64_t ms) {
  const std::int64_t seconds = (ms + 500) / 1000;
  const std::int64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

std::string SlotList(const std::vector<int>& slots) {
  std::string list;
  for (const int slot : slots) list += (list.empty() ? "" : ", ") + SlotLabel(slot);
  return list;
}

std::string RequestLabel(int key) {
  if (key >= 0 && key < kSlotCount) return SlotLabel(key);
  return "the edit buffer";
}

// Reads a file's System Exclusive messages one at a time, so a file of any
// size is sent in constant memory. Bytes outside F0 ... F7 are skipped.
class SysExFileReader {
 public:
  explicit SysExFileReader(const std::filesystem::path& file)
      : in_(OpenFileForReading(file)),  // throws the file error
        assembler_([this](std::span<const std::uint8_t> m) {
          if (!m.empty() && m[0] == 0xF0) ready_.emplace_back(m.begin(), m.end());
        }) {}
  bool Next(std::vector<std::uint8_t>& message) {
    while (ready_.empty() && in_) {
      std::uint8_t chunk[4096];
      in_.read(reinterpret_cast<char*>(chunk), sizeof chunk);
      assembler_.Feed(std::span<const std::uint8_t>(chunk, static_cast<std::size_t>(in_.gcount())));
    }
    if (ready_.empty()) return false;
    message = std::move(ready_.front());
    ready_.pop_front();
    return true;
  }
  std::size_t Skipped() const { return assembler_.Dropped(); }

 private:
  std::ifstream in_;
  std::deque<std::vector<std::uint8_t>> ready_;
  MidiAssembler assembler_;
};

}  // namespace

ReceiveDispatcher::ReceiveDispatcher(BankSet& blofeld, InstrumentLink& link, Scheduler& scheduler, ReceiverUi& ui,
                                     Log& log)
    : blofeld_(blofeld), link_(link), scheduler_(scheduler), ui_(ui), log_(log) {}

// ---- jobs and progress --------------------------------------------------

bool ReceiveDispatcher::BeginJob(const char* what) {
  if (job_) {
    // Two transfers at once would mix their requests and replies, and the end
    // of one would end the other.
    log_.LogMessage(std::string("A transfer is running; ") + what + " was not started");
    return false;
  }
  job_ = true;
  jobStartedAt_ = scheduler_.nowMs();
  Missing.clear();
  Cancelled = false;
  ui_.SetCancelable(true);
  if (OnBusyChanged) OnBusyChanged(true);
  return true;
}

void ReceiveDispatcher::EndJob() {
  if (!job_) return;
  job_ = false;
  ui_.SetCancelable(false);
  if (OnBusyChanged) OnBusyChanged(false);
}

void ReceiveDispatcher::ShowProgress(const char* verb, int done, int total) {
  const std::int64_t elapsed = scheduler_.nowMs() - jobStartedAt_;
  std::string text = std::string(verb) + " " + std::to_string(done) + " of " + std::to_string(total) + " (" +
                     MinutesSeconds(elapsed) + " elapsed";
  if (done > 0 && done < total) text += ", about " + MinutesSeconds(elapsed * (total - done) / done) + " left";
  ui_.SetLabel(text + ")");
  ui_.SetProgress(done, total);
}

// ---- receive state ------------------------------------------------------

void ReceiveDispatcher::StartReceive(std::size_t size) {
  ReceivedCount = 0;
  Receiving = true;
  Guarded(log_, [&] { link_.PrepareReceive(size); });
}

void ReceiveDispatcher::StopReceive() {
  // A running job keeps receiving: activating the window must not end it.
  if (!job_) Receiving = false;
}

void ReceiveDispatcher::CancelRequests() {
  if (job_) return;  // selecting a row never ends a running job
  Receiving = false;
  Requests.Clear();
}

void ReceiveDispatcher::NewSession(const char* title) {
  ++session_;
  awaiting_ = false;
  resends_ = 0;
  // Each read learns the link anew: the user may have changed ports.
  roundTripMs_ = -1;
  seen_.reset();
  wanted_.reset();
  round_ = 0;
  unansweredInARow_ = 0;
  ui_.SetTitle(title);
  ui_.SetLabel(receiver_text::kWaiting);
}

void ReceiveDispatcher::SendRequest(std::uint8_t bank, std::uint8_t program) {
  if (SoundRequest(link_, DeviceId, bank, program)) {
    awaiting_ = true;
    requestedAt_ = scheduler_.nowMs();
    if (resends_ == 0) firstRequestedAt_ = requestedAt_;
    lastRequestKey_ = bank == kEditBufferBank ? kSlotCount : bank * kProgramsPerBank + program;
    ++requestSerial_;
  }
}

int ReceiveDispatcher::ReplyTimeoutMs() const {
  if (roundTripMs_ < 0) return kFirstReplyTimeoutMs;
  return std::clamp(static_cast<int>(2 * roundTripMs_) + 20, kMinReplyTimeoutMs, kMaxReplyTimeoutMs);
}

void ReceiveDispatcher::ArmReplyTimer() {
  if (!awaiting_ || Kind == RequestKind::None || Kind == RequestKind::GlobalDump) return;
  const int wait = ReplyTimeoutMs() << resends_;
  scheduler_.runAfter(wait, [this, wait, session = session_, serial = requestSerial_] {
    if (session != session_ || serial != requestSerial_ || !awaiting_ || !Receiving) return;
    if (resends_ >= kMaxResends) {
      if (Kind == RequestKind::BankSounds) GiveUpRequest();
      return;  // a fetch ends at the dialog's tick
    }
    log_.LogMessage("No reply for " + RequestLabel(lastRequestKey_) + " within " + std::to_string(wait) +
                    " ms; asking again");
    RequestAgain();
  });
}

void ReceiveDispatcher::MeasureRoundTrip() {
  // Only a request sent once gives a clean measurement: after a resend the
  // reply may answer either copy.
  if (resends_ > 0) return;
  const auto rtt = static_cast<double>(scheduler_.nowMs() - requestedAt_);
  // Quick to grow, slow to shrink: one slow reply keeps the timeout generous
  // for a while, so a busy link is not flooded with resends.
  roundTripMs_ = std::max(rtt, roundTripMs_ * 0.9);
}

bool ReceiveDispatcher::ReplyOutstanding() const {
  // A request just sent keeps the dialog up for one timer period, so the
  // reply to the last request of a fetch is not cut off by a tick that
  // happens to fall right after it went out. Resends of it do not extend
  // that period: a silent instrument still ends a fetch at a tick.
  return awaiting_ && scheduler_.nowMs() - firstRequestedAt_ < receiver_text::kTickMs;
}

void ReceiveDispatcher::DialogTick() {
  // Reads and sends end by themselves, when everything is done.
  if (job_ && (Kind == RequestKind::BankSounds || sending_)) return;
  if (Requests.Count() == 0 && ReplyOutstanding() && Receiving) return;
  if (Requests.Count() == 0 || !Receiving) {
    Requests.Clear();
    ReceivedCount = 0;
    ui_.Close();
  }
}

void ReceiveDispatcher::DialogCloseClicked() {
  if (sending_) {
    cancelSend_ = true;  // the next step stops the send and reports it
    return;
  }
  if (job_ && Kind == RequestKind::BankSounds) {
    Missing.clear();
    for (int i = 0; i < kSlotCount; ++i)
      if (wanted_.test(static_cast<std::size_t>(i)) && !seen_.test(static_cast<std::size_t>(i))) Missing.push_back(i);
    Cancelled = true;
    if (!Missing.empty())
      log_.LogMessage("Read cancelled: " + std::to_string(Missing.size()) + " of " +
                      std::to_string(wanted_.count()) + " sound(s) not received");
  }
  Requests.Clear();
  Receiving = false;
  awaiting_ = false;
  ReceivedCount = 0;
  ui_.Close();
}

int ReceiveDispatcher::TakeCurrentSoundStatus() {
  const int s = CurrentSoundStatus;
  CurrentSoundStatus = 0;
  return s;
}

const char* ReceiveDispatcher::DumpDefect(std::span<const std::uint8_t> data) {
  const char* defect = SoundDumpDefect(data, !checksumsProven_);
  // An intact dump whose checksum byte is not 7F carries the real sum: this
  // instrument computes checksums, so from now on a 7F that is not the sum
  // is damage, not the wildcard.
  if (!*defect && data[offs::kChecksum] != 0x7F && !checksumsProven_) {
    checksumsProven_ = true;
    log_.LogMessage("The instrument sends checksums; 7F is no longer taken in their place");
  }
  return defect;
}

// ---- input --------------------------------------------------------------

void ReceiveDispatcher::OnShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  if (ControllerHandler) Guarded(log_, [&] { ControllerHandler(status, data1, data2); });
}

void ReceiveDispatcher::OnLongData(std::span<const std::uint8_t> recorded) {
  if (!Receiving) return;
  Guarded(log_, [&] {
    switch (Kind) {
      case RequestKind::GlobalDump:
        HandleGlobals(recorded);
        break;
      case RequestKind::BankSounds:
        HandleBankSound(recorded);
        break;
      case RequestKind::EditorSound:
        if (WaitingForCurrentSound) HandleCurrentSound(recorded, 1);
        break;
      case RequestKind::LockerSound:
        HandleCurrentSound(recorded, 2);
        break;
      case RequestKind::None:
        break;
    }
  });
}

void ReceiveDispatcher::HandleGlobals(std::span<const std::uint8_t> data) {
  if (!IsGlobalDump(data)) {
    // Kept global data stays as it was rather than taking a damaged dump;
    // the real reply may still come.
    log_.LogMessage("Rejected global data: " + std::to_string(data.size()) + " bytes, not a global dump");
    Guarded(log_, [&] { link_.PrepareReceive(kGlobalDataSize); });
    return;
  }
  awaiting_ = false;
  std::copy(data.begin(), data.end(), Globals.bytes.begin());
  ui_.SetLabel(receiver_text::kReceivedGlobals);
  log_.LogMessage(receiver_text::kReceivedGlobals);
  Receiving = false;
}

void ReceiveDispatcher::HandleCurrentSound(std::span<const std::uint8_t> data, int status) {
  if (const char* defect = DumpDefect(data); *defect) {
    log_.LogMessage(std::string("Rejected edit buffer sound: ") + defect);
    // Junk before the reply must not take the buffer from it.
    Guarded(log_, [&] { link_.PrepareReceive(kSoundSize); });
    ResendSoon();
    return;
  }
  // A dump of a bank slot is a late answer to an earlier read, not the edit
  // buffer: taken, the editor would open on it and OK would store it. The
  // edit buffer's own answer may still come.
  if (data[offs::kBank] != kEditBufferBank) {
    log_.LogMessage("Ignored a dump of " +
                    (data[offs::kBank] < kBankCount ? SlotLabel(data[offs::kBank] * kProgramsPerBank + data[offs::kProgram])
                                                    : std::string("an unknown slot")) +
                    " while waiting for the edit buffer");
    Guarded(log_, [&] { link_.PrepareReceive(kSoundSize); });
    return;
  }
  awaiting_ = false;
  CurrentSound = SoundData::FromBytes(data);
  log_.LogMessage(receiver_text::kReceivedCurrentSound);
  ui_.SetLabel(receiver_text::kReceivedCurrentSound);
  Receiving = false;
  CurrentSoundStatus = status;
}

void ReceiveDispatcher::HandleBankSound(std::span<const std::uint8_t> data) {
  // Keep the buffer armed at once: every dump is stored by its own bank and
  // program bytes, so one arriving during the pause is not lost.
  Guarded(log_, [&] { link_.PrepareReceive(kSoundSize); });

  const char* defect = DumpDefect(data);
  if (*defect) {
    log_.LogMessage("Rejected reply to the request for " + RequestLabel(lastRequestKey_) + ": " + defect + " (" +
                    std::to_string(data.size()) + " bytes)");
    ResendSoon();
    return;
  }
  SoundData sound = SoundData::FromBytes(data);
  const int bank = sound[offs::kBank], program = sound[offs::kProgram];
  if (bank == kEditBufferBank) {
    // The instrument sends its edit buffer when a user presses a button on
    // it; nobody asked, and it belongs to no slot of this read.
    log_.LogMessage("Ignored an edit buffer dump that was not asked for");
    return;
  }
  if (bank >= kBankCount) {
    log_.LogMessage("Rejected sound dump: bank byte " + std::to_string(bank) + " names no bank");
    ResendSoon();
    return;
  }
  const int slot = bank * kProgramsPerBank + program;
  if (!wanted_.test(static_cast<std::size_t>(slot))) {
    log_.LogMessage("Ignored a dump of " + SlotLabel(slot) + ": not asked for in this read");
    return;
  }
  if (seen_.test(static_cast<std::size_t>(slot))) return;  // a second copy, after a request sent again

  // Any wanted dump answers the open request; a dump of another slot means
  // the open slot's reply may still come, and is stored then.
  const bool answered = awaiting_;
  if (answered) {
    if (slot == lastRequestKey_) MeasureRoundTrip();
    awaiting_ = false;
  }
  log_.LogMessage("Bank/Patch:" + std::to_string(bank) + "/" + std::to_string(program) + " " +
                  std::to_string(blofeld_.CurrentIndex));
  blofeld_.Sound(slot) = sound;
  blofeld_.SetChanged(slot, false);
  seen_.set(static_cast<std::size_t>(slot));
  unansweredInARow_ = 0;
  if (OnSlotChanged) OnSlotChanged(slot);
  log_.LogMessage(std::string("Rec Bank: ") + static_cast<char>(65 + bank) + " Sound:" + std::to_string(program + 1));
  ++ReceivedCount;
  ShowProgress("Received", static_cast<int>(seen_.count()), static_cast<int>(wanted_.count()));
  if (answered) ChainNext(session_);
}

void ReceiveDispatcher::ResendSoon() {
  // A damaged reply to the open request: ask again after the usual gap,
  // within the resend limit. The reply timer still runs, so junk that was
  // not the reply at all costs nothing but a duplicate.
  if (!awaiting_ || resends_ >= kMaxResends) return;
  scheduler_.runAfter(FastRead ? kFastReadGapMs : MidiDelayMs,
                      [this, session = session_, serial = requestSerial_] {
                        if (session != session_ || serial != requestSerial_ || !awaiting_) return;
                        RequestAgain();
                      });
}

void ReceiveDispatcher::ChainNext(std::uint64_t session) {
  scheduler_.runAfter(FastRead ? kFastReadGapMs : MidiDelayMs, [this, session] {
    // The dialog was closed or another command started meanwhile.
    if (session != session_ || !Receiving || Kind != RequestKind::BankSounds) return;
    SendNext();
  });
}

void ReceiveDispatcher::SendNext() {
  while (Requests.Count() > 0) {
    const std::uint8_t program = Requests.Pop();
    const std::uint8_t bank = Requests.Pop();
    // A slot that came already (out of turn) is not asked for again.
    if (bank < kBankCount && program < kProgramsPerBank && seen_.test(bank * kProgramsPerBank + program)) continue;
    resends_ = 0;
    SendRequest(bank, program);
    ArmReplyTimer();
    return;
  }
  EndOfPass();
}

void ReceiveDispatcher::GiveUpRequest() {
  awaiting_ = false;
  ++unansweredInARow_;
  log_.LogMessage("No reply for " + RequestLabel(lastRequestKey_) + "; moving on");
  if (unansweredInARow_ >= kSilentAfter) {
    log_.LogMessage("The instrument stopped answering");
    FinishRead();
    return;
  }
  ChainNext(session_);
}

void ReceiveDispatcher::EndOfPass() {
  std::vector<int> missing;
  for (int i = 0; i < kSlotCount; ++i)
    if (wanted_.test(static_cast<std::size_t>(i)) && !seen_.test(static_cast<std::size_t>(i))) missing.push_back(i);
  if (missing.empty() || round_ >= kExtraRounds) {
    FinishRead();
    return;
  }
  ++round_;
  log_.LogMessage("Asking again for " + std::to_string(missing.size()) + " sound(s) with no valid reply (round " +
                  std::to_string(round_) + " of " + std::to_string(kExtraRounds) + ")");
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    Requests.Push(static_cast<std::uint8_t>(*it / kProgramsPerBank));
    Requests.Push(static_cast<std::uint8_t>(*it % kProgramsPerBank));
  }
  SendNext();
}

void ReceiveDispatcher::FinishRead() {
  Missing.clear();
  for (int i = 0; i < kSlotCount; ++i)
    if (wanted_.test(static_cast<std::size_t>(i)) && !seen_.test(static_cast<std::size_t>(i))) Missing.push_back(i);
  const int total = static_cast<int>(wanted_.count());
  if (Missing.empty()) {
    log_.LogMessage("Received all " + std::to_string(total) + " sound(s)");
  } else {
    log_.LogMessage("Missing " + std::to_string(Missing.size()) + " of " + std::to_string(total) +
                    " sound(s): " + SlotList(Missing));
    ui_.SetLabel("Received " + std::to_string(total - static_cast<int>(Missing.size())) + " of " +
                 std::to_string(total) + "; " + std::to_string(Missing.size()) + " missing");
  }
  Requests.Clear();
  awaiting_ = false;
  Receiving = false;
  ReceivedCount = 0;
  ui_.Close();
}

bool ReceiveDispatcher::RequestAgain() {
  const bool editBuffer =
      (Kind == RequestKind::EditorSound || Kind == RequestKind::LockerSound) && lastRequestKey_ == kSlotCount;
  const bool slot = Kind == RequestKind::BankSounds && lastRequestKey_ >= 0 && lastRequestKey_ < kSlotCount;
  if (!Receiving || !awaiting_ || !(editBuffer || slot)) return false;
  ++resends_;
  if (editBuffer)
    SendRequest(kEditBufferBank, 0);
  else
    SendRequest(static_cast<std::uint8_t>(lastRequestKey_ / kProgramsPerBank),
                static_cast<std::uint8_t>(lastRequestKey_ % kProgramsPerBank));
  Guarded(log_, [&] { link_.PrepareReceive(kSoundSize); });
  ArmReplyTimer();
  return true;
}

// ---- commands -----------------------------------------------------------

void ReceiveDispatcher::StartBankRead(Done done) {
  Kind = RequestKind::BankSounds;
  // What the read asks for, taken from the stack it will work through.
  {
    RequestStack copy = Requests;
    while (copy.Count() >= 2) {
      const std::uint8_t program = copy.Pop();
      const std::uint8_t bank = copy.Pop();
      if (bank < kBankCount && program < kProgramsPerBank) wanted_.set(bank * kProgramsPerBank + program);
    }
  }
  StartReceive(kFirstReceiveSize);
  ShowProgress("Received", 0, static_cast<int>(wanted_.count()));
  SendNext();
  ui_.ShowModal([this, done = std::move(done)] {
    Receiving = false;
    awaiting_ = false;
    ++session_;  // pending continuations of this read do nothing now
    EndJob();
    if (done) done();
  });
}

void ReceiveDispatcher::ReadBank(int bank, Done done) {
  if (bank < 0 || bank >= kBankCount) throw std::invalid_argument("Bank " + std::to_string(bank) + " is not A..H");
  ReadBanks(bank, bank, std::move(done));
}

void ReceiveDispatcher::ReadAll(Done done) { ReadBanks(0, kBankCount - 1, std::move(done)); }

void ReceiveDispatcher::ReadBanks(int first, int last, Done done) {
  if (first < 0 || last >= kBankCount || first > last)
    throw std::invalid_argument("Banks " + std::to_string(first) + ".." + std::to_string(last) + " are not within A..H");
  if (!BeginJob("the read")) return;
  NewSession(receiver_text::kCaption);
  Requests.Clear();
  for (int bank = last; bank >= first; --bank)
    for (int program = kProgramsPerBank - 1; program >= 0; --program) {
      Requests.Push(static_cast<std::uint8_t>(bank));
      Requests.Push(static_cast<std::uint8_t>(program));
    }
  StartBankRead(std::move(done));
}

void ReceiveDispatcher::ReadCurrentSound(int slot, Done done) {
  if (slot < 0 || slot >= kSlotCount) throw std::invalid_argument("Slot " + std::to_string(slot) + " is not A001..H128");
  if (!BeginJob("the read")) return;
  NewSession(receiver_text::kReadingCurrentSound);
  Requests.Clear();
  Requests.Push(static_cast<std::uint8_t>(slot / kProgramsPerBank));
  Requests.Push(static_cast<std::uint8_t>(slot % kProgramsPerBank));
  StartBankRead(std::move(done));
}

void ReceiveDispatcher::FetchEditBuffer(RequestKind kind, Done done) {
  if (kind != RequestKind::EditorSound && kind != RequestKind::LockerSound)
    throw std::invalid_argument("The edit buffer is fetched for the editor or the locker");
  if (!BeginJob("the edit buffer fetch")) return;
  NewSession(receiver_text::kCaption);
  Requests.Clear();
  Kind = kind;
  WaitingForCurrentSound = true;
  resends_ = 0;
  SendRequest(kEditBufferBank, 0);
  StartReceive(kSoundSize);
  ArmReplyTimer();
  ui_.ShowModal([this, done = std::move(done)] {
    WaitingForCurrentSound = false;
    Receiving = false;
    ++session_;
    EndJob();
    if (done) done();
  });
}

bool ReceiveDispatcher::RequestGlobals(Done done) {
  if (!BeginJob("the global data request")) return false;
  NewSession(receiver_text::kCaption);
  Requests.Clear();
  Kind = RequestKind::GlobalDump;
  GlobalRequest(link_, DeviceId);
  awaiting_ = true;
  requestedAt_ = firstRequestedAt_ = scheduler_.nowMs();
  StartReceive(kGlobalDataSize);
  ui_.ShowModal([this, done = std::move(done)] {
    Receiving = false;
    ++session_;
    EndJob();
    if (done) done();
  });
  return true;
}

void ReceiveDispatcher::FinishSend(const std::string& what, const std::string& unsent) {
  sending_ = false;
  ui_.Hide();
  std::string line = "Sent " + std::to_string(SentCount) + " of " + std::to_string(SendTotal) + " " + what;
  if (Cancelled) line += "; cancelled";
  if (!unsent.empty()) line += "; not sent: " + unsent;
  log_.LogMessage(line);
  ui_.SetLabel(line);
  EndJob();
}

void ReceiveDispatcher::SendSelectedSounds(Done done) {
  if (!BeginJob("the send")) return;
  NewSession(receiver_text::kCaption);
  Kind = RequestKind::None;
  Receiving = false;
  ui_.ShowModeless();
  RefreshChecksums(blofeld_, DeviceId);
  // The rows are taken now, so changing the selection while sending does not
  // change what is sent.
  auto rows = std::make_shared<std::vector<int>>(SendableRows(blofeld_));
  sending_ = true;
  cancelSend_ = false;
  SentCount = 0;
  SendTotal = static_cast<int>(rows->size());
  ShowProgress("Sent", 0, SendTotal);
  const std::uint64_t session = session_;
  auto step = std::make_shared<std::function<void(std::size_t)>>();
  *step = [this, rows, session, done = std::move(done), weakStep = std::weak_ptr(step)](std::size_t k) {
    if (session != session_) return;
    if (cancelSend_ || k == rows->size()) {
      Cancelled = cancelSend_;
      // Not sent: those the port refused and those after a cancel. Their
      // changed flags stay, so they are not taken for sent.
      for (std::size_t j = k; j < rows->size(); ++j) Missing.push_back((*rows)[j]);
      std::sort(Missing.begin(), Missing.end());
      FinishSend("sound(s)", SlotList(Missing));
      if (done) done();
      return;
    }
    const int i = (*rows)[k];
    if (TransmitSlot(link_, blofeld_, i)) {
      ++SentCount;
      blofeld_.SetChanged(i, false);
      if (OnSlotChanged) OnSlotChanged(i);
    } else {
      Missing.push_back(i);
    }
    ShowProgress("Sent", static_cast<int>(k + 1), SendTotal);
    auto self = weakStep.lock();
    scheduler_.runAfter(MidiDelayMs, [self, k] { (*self)(k + 1); });
  };
  // The last continuation owns the step function; it goes when the chain ends.
  auto keep = step;
  scheduler_.post([keep] { (*keep)(0); });
}

void ReceiveDispatcher::SendSysExFromFile(Prompter& prompter, Done done) {
  if (job_) {
    log_.LogMessage("A transfer is running; the file send was not started");
    return;
  }
  RefreshChecksums(blofeld_, DeviceId);
  const auto file = prompter.OpenFileName(kSysExFiles);
  if (!file) return;
  // The sounds of a file replace the instrument's own, like selected sounds
  // do: more than one is confirmed first. Only a regular file is read twice
  // (a pipe would be drained by the first reading).
  if (std::filesystem::is_regular_file(*file)) {
    std::vector<int> slots;
    SysExFileReader scan(*file);
    for (std::vector<std::uint8_t> m; scan.Next(m);)
      if (m.size() == kSoundSize && *SoundDumpDefect(m) == '\0' && m[offs::kBank] < kBankCount)
        slots.push_back(m[offs::kBank] * kProgramsPerBank + m[offs::kProgram]);
    std::sort(slots.begin(), slots.end());
    slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
    if (slots.size() > 1 && prompter.Ask(SendQuestion(slots), Buttons::YesNo) != Answer::Yes) return;
  }
  SendSysExFile(*file, std::move(done));
}

void ReceiveDispatcher::SendSysExFile(const std::filesystem::path& file, Done done) {
  CheckReadableFile(file);  // a folder, FIFO or device: the reason, before anything is sent
  // A first pass counts the messages and finds the longest, so a file the
  // port cannot carry is refused before anything is sent.
  int total = 0;
  {
    SysExFileReader scan(file);  // throws the file error
    std::vector<std::uint8_t> message;
    while (scan.Next(message)) {
      ++total;
      if (message.size() > link_.MaxMessageSize())
        throw std::runtime_error(file.string() + ": message " + std::to_string(total) + " has " +
                                 std::to_string(message.size()) + " bytes, more than the MIDI port carries (" +
                                 std::to_string(link_.MaxMessageSize()) + "); nothing sent");
    }
  }
  auto reader = std::make_shared<SysExFileReader>(file);
  if (!BeginJob("the file send")) return;
  NewSession(receiver_text::kCaption);
  Kind = RequestKind::None;
  Receiving = false;
  ui_.ShowModeless();
  sending_ = true;
  cancelSend_ = false;
  SentCount = 0;
  SendTotal = total;
  ShowProgress("Sent", 0, SendTotal);
  const std::uint64_t session = session_;
  auto failed = std::make_shared<int>(0);
  auto step = std::make_shared<std::function<void(int)>>();
  *step = [this, reader, session, failed, file, done = std::move(done), weakStep = std::weak_ptr(step)](int k) {
    if (session != session_) return;
    std::vector<std::uint8_t> message;
    if (cancelSend_ || !reader->Next(message)) {
      Cancelled = cancelSend_;
      std::string unsent;
      if (*failed) unsent = std::to_string(*failed) + " refused by the port";
      if (SendTotal - k > 0) unsent += (unsent.empty() ? "" : ", ") + std::to_string(SendTotal - k) + " not sent";
      FinishSend("messages from " + file.string(), unsent);
      if (reader->Skipped()) log_.LogMessage("Skipped " + std::to_string(reader->Skipped()) + " broken messages");
      if (done) done();
      return;
    }
    if (link_.Transmit(message))
      ++SentCount;
    else
      ++*failed;
    ShowProgress("Sent", k + 1, SendTotal);
    auto self = weakStep.lock();
    scheduler_.runAfter(MidiDelayMs, [self, k] { (*self)(k + 1); });
  };
  auto keep = step;
  scheduler_.post([keep] { (*keep)(0); });
}

void ReceiveDispatcher::Panic() { tarvix::Panic(link_); }

void ReceiveDispatcher::SelectProgram(const BankSet& set, int slot, bool toEditBuffer, int channel) {
  if (slot < 0 || slot >= kSlotCount) return;
  if (toEditBuffer) {
    auditions_.push_back({[this, sound = set.Sound(slot)] { SendSoundToEditBuffer(link_, sound); }, 0});
  } else {
    auditions_.push_back({[this, slot, channel] {
                            BankSelect(link_, channel, slot / kProgramsPerBank);
                            ProgramChange(link_, channel, slot % kProgramsPerBank);
                          },
                          MidiDelayMs});
  }
  RunAudition();
}

void ReceiveDispatcher::RunAudition() {
  // Auditions go out in order; after a program change the next one waits
  // the MIDI delay, which gives the instrument time to switch.
  while (!auditionPause_ && !auditions_.empty()) {
    Audition a = std::move(auditions_.front());
    auditions_.pop_front();
    a.send();
    if (a.pauseMs > 0) {
      auditionPause_ = true;
      scheduler_.runAfter(a.pauseMs, [this] {
        auditionPause_ = false;
        RunAudition();
      });
    }
  }
}

void ReceiveDispatcher::SetMultiMode(bool on, std::function<void(bool sent)> done) {
  auto send = [this, on, done] {
    if (!IsGlobalDump(Globals.bytes)) {
      // Sending made-up global data would overwrite the instrument's other
      // global settings.
      log_.LogMessage("No global data received from the instrument; multi mode not switched");
      if (done) done(false);
      return;
    }
    Globals.SetMultiMode(on);
    SendGlobals(link_, Globals);
    if (done) done(true);
  };
  if (IsGlobalDump(Globals.bytes))
    send();
  else if (!RequestGlobals(send) && done)
    done(false);
}

}  // namespace tarvix
