#include "midi/ReceiveDispatcher.h"

#include <stdexcept>

#include "library/BankOperations.h"
#include "midi/ChannelMessages.h"
#include "midi/FetchJobs.h"
#include "midi/SendJobs.h"
#include "midi/SysExMessages.h"

namespace tarvix {

ReceiveDispatcher::ReceiveDispatcher(BankSet& blofeld, InstrumentLink& link, Scheduler& scheduler, ReceiverUi& ui,
                                     Log& log)
    : TransferContext(blofeld, link, scheduler, ui, log), queue_(*this) {
  queue_.OnBusyChanged = [this](bool busy) {
    if (OnBusyChanged) OnBusyChanged(busy);
  };
}

// ---- input --------------------------------------------------------------

void ReceiveDispatcher::OnShortMessage(std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  if (ControllerHandler) Guarded(log, [&] { ControllerHandler(status, data1, data2); });
}

void ReceiveDispatcher::OnLongData(std::span<const std::uint8_t> recorded) { queue_.OnLongData(recorded); }

bool ReceiveDispatcher::Receiving() const { return queue_.Running() && queue_.Running()->Receiving(); }

bool ReceiveDispatcher::RequestAgain() { return queue_.Running() && queue_.Running()->RequestAgain(); }

int ReceiveDispatcher::ReplyTimeoutMs() const {
  return queue_.Running() ? queue_.Running()->ReplyTimeoutMs() : kFirstReplyTimeoutMs;
}

int ReceiveDispatcher::TakeCurrentSoundStatus() { return std::exchange(CurrentSoundStatus, 0); }

// ---- jobs ---------------------------------------------------------------

void ReceiveDispatcher::ReadBank(int bank, Done done) {
  if (bank < 0 || bank >= kBankCount) throw std::invalid_argument("Bank " + std::to_string(bank) + " is not A..H");
  ReadBanks(bank, bank, std::move(done));
}

void ReceiveDispatcher::ReadAll(Done done) { ReadBanks(0, kBankCount - 1, std::move(done)); }

void ReceiveDispatcher::ReadBanks(int first, int last, Done done) {
  queue_.Start(BankReadJob::Banks(*this, first, last, std::move(done)));
}

void ReceiveDispatcher::ReadCurrentSound(int slot, Done done) {
  queue_.Start(BankReadJob::Slot(*this, slot, std::move(done)));
}

void ReceiveDispatcher::FetchEditBuffer(RequestKind kind, Done done) {
  queue_.Start(std::make_shared<EditBufferFetchJob>(*this, kind == RequestKind::EditorSound ? 1 : 2, std::move(done)));
}

bool ReceiveDispatcher::RequestGlobals(Done done) {
  return queue_.Start(std::make_shared<GlobalsFetchJob>(*this, std::move(done)));
}

void ReceiveDispatcher::SendSelectedSounds(Done done) {
  queue_.Start(std::make_shared<SendSelectedJob>(*this, std::move(done)));
}

void ReceiveDispatcher::SendSysExFromFile(Prompter& prompter, Done done) {
  if (queue_.RefuseWhileBusy("the file send")) return;
  RefreshChecksums(blofeld, DeviceId);
  const auto file = prompter.OpenFileName(kSysExFiles);
  if (!file) return;
  // The sounds of a file replace the instrument's own, like selected sounds
  // do: more than one is confirmed first. Only a regular file is read twice
  // (a pipe would be drained by the first reading).
  if (std::filesystem::is_regular_file(*file)) {
    const std::vector<int> slots = FileSendJob::SoundSlots(*file);
    if (slots.size() > 1 && prompter.Ask(SendQuestion(slots), Buttons::YesNo) != Answer::Yes) return;
  }
  SendSysExFile(*file, std::move(done));
}

void ReceiveDispatcher::SendSysExFile(const std::filesystem::path& file, Done done) {
  queue_.Start(FileSendJob::Open(*this, file, std::move(done)));
}

// ---- single messages ----------------------------------------------------

void ReceiveDispatcher::Panic() { tarvix::Panic(link); }

void ReceiveDispatcher::SelectProgram(const BankSet& set, int slot, bool toEditBuffer, int channel) {
  if (slot < 0 || slot >= kSlotCount) return;
  if (toEditBuffer) {
    auditions_.push_back({[this, sound = set.Sound(slot)] { SendSoundToEditBuffer(link, sound); }, 0});
  } else {
    auditions_.push_back({[this, slot, channel] {
                            BankSelect(link, channel, slot / kProgramsPerBank);
                            ProgramChange(link, channel, slot % kProgramsPerBank);
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
      scheduler.runAfter(a.pauseMs, [this] {
        auditionPause_ = false;
        RunAudition();
      });
    }
  }
}

void ReceiveDispatcher::SetMultiMode(bool on, std::function<void(bool sent)> done) {
  // The global data going out in the middle of a read or a send would cross
  // its requests and replies, and the instrument may be busy storing.
  if (queue_.RefuseWhileBusy("the multi-mode switch")) {
    if (done) done(false);
    return;
  }
  auto send = [this, on, done] {
    if (!IsGlobalDump(Globals.bytes)) {
      // Sending made-up global data would overwrite the instrument's other
      // global settings.
      log.LogMessage("No global data received from the instrument; multi mode not switched");
      if (done) done(false);
      return;
    }
    Globals.SetMultiMode(on);
    SendGlobals(link, Globals);
    if (done) done(true);
  };
  if (IsGlobalDump(Globals.bytes))
    send();
  else if (!RequestGlobals(send) && done)
    done(false);
}

}  // namespace tarvix
