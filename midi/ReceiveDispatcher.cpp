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

// ---- receive state ------------------------------------------------------

void ReceiveDispatcher::StartReceive(std::size_t size) {
  ReceivedCount = 0;
  Receiving = true;
  Guarded(log_, [&] { link_.PrepareReceive(size); });
}

void ReceiveDispatcher::StopReceive() { Receiving = false; }

void ReceiveDispatcher::CancelRequests() {
  Receiving = false;
  Requests.Clear();
}

void ReceiveDispatcher::NewSession(const char* title) {
  ++session_;
  awaiting_ = false;
  retriedKey_ = -1;
  resends_ = 0;
  // Each read learns the link anew: the user may have changed ports.
  roundTripMs_ = -1;
  seen_.reset();
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
    if (resends_ >= kMaxResends) return;  // the read now waits for "&Close"
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
  // reply to the last request of a read is not cut off by a tick that
  // happens to fall right after it went out. Resends of it do not extend
  // that period: a silent instrument still ends a single read at a tick.
  return awaiting_ && scheduler_.nowMs() - firstRequestedAt_ < receiver_text::kTickMs;
}

void ReceiveDispatcher::DialogTick() {
  if (Requests.Count() == 0 && ReplyOutstanding() && Receiving) return;
  if (Requests.Count() == 0 || !Receiving) {
    Requests.Clear();
    ReceivedCount = 0;
    ui_.Close();
  }
}

void ReceiveDispatcher::DialogCloseClicked() {
  Requests.Clear();
  Receiving = false;
  ReceivedCount = 0;
  ui_.Close();
}

int ReceiveDispatcher::TakeCurrentSoundStatus() {
  const int s = CurrentSoundStatus;
  CurrentSoundStatus = 0;
  return s;
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
  awaiting_ = false;
  if (!IsGlobalDump(data)) {
    // Kept global data stays as it was rather than taking a damaged dump.
    log_.LogMessage("Rejected global data: " + std::to_string(data.size()) + " bytes, not a global dump");
    return;
  }
  std::copy(data.begin(), data.end(), Globals.bytes.begin());
  ui_.SetLabel(receiver_text::kReceivedGlobals);
  log_.LogMessage(receiver_text::kReceivedGlobals);
  Receiving = false;
}

void ReceiveDispatcher::HandleCurrentSound(std::span<const std::uint8_t> data, int status) {
  if (const char* defect = SoundDumpDefect(data); *defect) {
    awaiting_ = false;
    log_.LogMessage(std::string("Rejected edit buffer sound: ") + defect);
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
  // Any dump answers the open request, except a second copy of a sound
  // already received in this read (the answer to a request sent again): that
  // one must not move the chain on twice.
  bool answered = awaiting_;
  int key = -1;
  if (data.size() == kSoundSize && *SoundDumpDefect(data) == '\0' && data[offs::kBank] < kBankCount)
    key = data[offs::kBank] * kProgramsPerBank + data[offs::kProgram];
  if (answered && key >= 0 && key != lastRequestKey_ && seen_.test(static_cast<std::size_t>(key))) answered = false;
  if (key >= 0) seen_.set(static_cast<std::size_t>(key));
  if (answered) {
    MeasureRoundTrip();
    awaiting_ = false;
  }
  const std::uint64_t session = session_;
  // Keep the buffer armed at once: every dump is stored by its own bank and
  // program bytes, so one arriving during the pause is not lost.
  Guarded(log_, [&] { link_.PrepareReceive(kSoundSize); });

  const char* defect = SoundDumpDefect(data);
  if (*defect) {
    log_.LogMessage("Rejected reply to the request for " + RequestLabel(lastRequestKey_) + ": " + defect + " (" +
                    std::to_string(data.size()) + " bytes)");
    RetryOnce(answered, session);
    return;
  }

  SoundData sound = SoundData::FromBytes(data);
  const int bank = sound[offs::kBank], program = sound[offs::kProgram];
  log_.LogMessage("Bank/Patch:" + std::to_string(bank) + "/" + std::to_string(program) + " " +
                  std::to_string(blofeld_.CurrentIndex));
  int slot;
  if (bank == kEditBufferBank) {
    // The instrument's edit buffer goes to the row the user is on.
    slot = blofeld_.CurrentIndex;
    if (slot < 0 || slot >= kSlotCount) slot = 0;
    sound[offs::kBank] = static_cast<std::uint8_t>(slot / kProgramsPerBank);
    sound[offs::kProgram] = static_cast<std::uint8_t>(slot % kProgramsPerBank);
  } else if (bank < kBankCount) {
    slot = bank * kProgramsPerBank + program;
  } else {
    log_.LogMessage("Rejected sound dump: bank byte " + std::to_string(bank) + " names no bank");
    RetryOnce(answered, session);
    return;
  }
  blofeld_.Sound(slot) = sound;
  blofeld_.SetChanged(slot, false);
  if (OnSlotChanged) OnSlotChanged(slot);
  log_.LogMessage(std::string("Rec Bank: ") + static_cast<char>(65 + bank) + " Sound:" + std::to_string(program + 1));
  ++ReceivedCount;
  ui_.SetLabel("Received " + std::to_string(ReceivedCount) + " sound.");
  if (answered) ChainNext(session);
}

void ReceiveDispatcher::RetryOnce(bool answered, std::uint64_t session) {
  if (!answered) return;  // not the reply to our request: the chain waits on
  // Ask once more for the same sound; a second failure moves on, so a read
  // never hangs on one bad slot.
  if (lastRequestKey_ != retriedKey_ && lastRequestKey_ >= 0 && lastRequestKey_ < kSlotCount) {
    retriedKey_ = lastRequestKey_;
    Requests.Push(static_cast<std::uint8_t>(lastRequestKey_ / kProgramsPerBank));
    Requests.Push(static_cast<std::uint8_t>(lastRequestKey_ % kProgramsPerBank));
  }
  ChainNext(session);
}

void ReceiveDispatcher::ChainNext(std::uint64_t session) {
  scheduler_.runAfter(MidiDelayMs, [this, session] {
    // The dialog was closed or another command started meanwhile.
    if (session != session_ || !Receiving || Kind != RequestKind::BankSounds) return;
    const std::uint8_t program = Requests.Pop();
    const std::uint8_t bank = Requests.Pop();
    resends_ = 0;
    SendRequest(bank, program);
    ArmReplyTimer();
  });
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
  Receiving = true;
  const std::uint8_t program = Requests.Pop();
  const std::uint8_t bank = Requests.Pop();
  resends_ = 0;
  SendRequest(bank, program);
  StartReceive(kFirstReceiveSize);
  ArmReplyTimer();
  ui_.ShowModal([this, done = std::move(done)] {
    StopReceive();
    ++session_;  // pending continuations of this read do nothing now
    if (done) done();
  });
}

void ReceiveDispatcher::ReadBank(int bank, Done done) {
  if (bank < 0 || bank >= kBankCount) throw std::invalid_argument("Bank " + std::to_string(bank) + " is not A..H");
  NewSession(receiver_text::kCaption);
  Requests.Clear();
  for (int program = kProgramsPerBank - 1; program >= 0; --program) {
    Requests.Push(static_cast<std::uint8_t>(bank));
    Requests.Push(static_cast<std::uint8_t>(program));
  }
  StartBankRead(std::move(done));
}

void ReceiveDispatcher::ReadAll(Done done) { ReadBanks(0, kBankCount - 1, std::move(done)); }

void ReceiveDispatcher::ReadBanks(int first, int last, Done done) {
  if (first < 0 || last >= kBankCount || first > last)
    throw std::invalid_argument("Banks " + std::to_string(first) + ".." + std::to_string(last) + " are not within A..H");
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
  NewSession(receiver_text::kReadingCurrentSound);
  Requests.Clear();
  Requests.Push(static_cast<std::uint8_t>(slot / kProgramsPerBank));
  Requests.Push(static_cast<std::uint8_t>(slot % kProgramsPerBank));
  StartBankRead(std::move(done));
}

void ReceiveDispatcher::FetchEditBuffer(RequestKind kind, Done done) {
  if (kind != RequestKind::EditorSound && kind != RequestKind::LockerSound)
    throw std::invalid_argument("The edit buffer is fetched for the editor or the locker");
  NewSession(receiver_text::kCaption);
  Requests.Clear();
  Requests.Push(kEditBufferBank);
  Requests.Push(0);
  Kind = kind;
  WaitingForCurrentSound = true;
  const std::uint8_t program = Requests.Pop();
  const std::uint8_t bank = Requests.Pop();
  SendRequest(bank, program);
  StartReceive(kSoundSize);
  ArmReplyTimer();
  ui_.ShowModal([this, done = std::move(done)] {
    WaitingForCurrentSound = false;
    StopReceive();
    ++session_;
    if (done) done();
  });
}

void ReceiveDispatcher::RequestGlobals(Done done) {
  NewSession(receiver_text::kCaption);
  Kind = RequestKind::GlobalDump;
  GlobalRequest(link_, DeviceId);
  awaiting_ = true;
  requestedAt_ = firstRequestedAt_ = scheduler_.nowMs();
  StartReceive(kGlobalDataSize);
  ui_.ShowModal([this, done = std::move(done)] {
    StopReceive();
    ++session_;
    if (done) done();
  });
}

void ReceiveDispatcher::SendSelectedSounds(Done done) {
  NewSession(receiver_text::kCaption);
  ui_.ShowModeless();
  RefreshChecksums(blofeld_, DeviceId);
  Receiving = true;
  // Two entries keep the dialog's timer from closing it while sending.
  Requests.Push(0);
  Requests.Push(0);
  // The rows are taken now, so changing the selection while sending does not
  // change what is sent.
  auto rows = std::make_shared<std::vector<int>>(SendableRows(blofeld_));
  sending_ = true;
  auto step = std::make_shared<std::function<void(std::size_t)>>();
  *step = [this, rows, done = std::move(done), weakStep = std::weak_ptr(step)](std::size_t k) {
    if (k == rows->size()) {
      ui_.Hide();
      Receiving = false;
      Requests.Pop();
      Requests.Pop();
      sending_ = false;
      if (done) done();
      return;
    }
    const int i = (*rows)[k];
    SendSlot(link_, blofeld_, i);
    blofeld_.SetChanged(i, false);
    ui_.SetLabel("Sending " + std::to_string(i));
    if (OnSlotChanged) OnSlotChanged(i);
    auto self = weakStep.lock();
    scheduler_.runAfter(MidiDelayMs, [self, k] { (*self)(k + 1); });
  };
  // The last continuation owns the step function; it goes when the chain ends.
  auto keep = step;
  scheduler_.post([keep] { (*keep)(0); });
}

void ReceiveDispatcher::SendSysExFromFile(Prompter& prompter, Done done) {
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
  auto reader = std::make_shared<SysExFileReader>(file);  // throws the file error
  std::error_code ec;
  const auto total = std::filesystem::file_size(file, ec);
  NewSession(receiver_text::kCaption);
  ui_.ShowModeless();
  Receiving = true;
  Requests.Push(0);
  Requests.Push(0);
  sending_ = true;
  auto step = std::make_shared<std::function<void(int, std::uintmax_t)>>();
  *step = [this, reader, total, file, done = std::move(done), weakStep = std::weak_ptr(step)](int sent,
                                                                                              std::uintmax_t bytes) {
    std::vector<std::uint8_t> message;
    if (!reader->Next(message)) {
      ui_.Hide();
      Receiving = false;
      Requests.Pop();
      Requests.Pop();
      sending_ = false;
      std::string line = "Sent " + std::to_string(sent) + " messages from " + file.string();
      if (reader->Skipped()) line += "; skipped " + std::to_string(reader->Skipped()) + " broken messages";
      log_.LogMessage(line);
      if (done) done();
      return;
    }
    link_.SendLong(message);
    bytes += message.size();
    const int percent = total ? static_cast<int>(bytes * 100 / total) : 100;
    ui_.SetLabel("Sending " + std::to_string(sent + 1) + " (" + std::to_string(percent) + "%)");
    auto self = weakStep.lock();
    scheduler_.runAfter(MidiDelayMs, [self, sent, bytes] { (*self)(sent + 1, bytes); });
  };
  auto keep = step;
  scheduler_.post([keep] { (*keep)(0, 0); });
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
  else
    RequestGlobals(send);
}

}  // namespace tarvix
