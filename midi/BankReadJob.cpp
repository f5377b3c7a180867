#include "midi/BankReadJob.h"

#include <stdexcept>

#include "midi/SysExMessages.h"

namespace tarvix {

namespace {
constexpr std::size_t kFirstReceiveSize = 784;  // room for a reply and one more
}

BankReadJob::BankReadJob(TransferContext& c, const char* title, Done done)
    : RequestJob(c, "the read", std::move(done)), title_(title) {}

std::shared_ptr<BankReadJob> BankReadJob::Banks(TransferContext& c, int first, int last, Done done) {
  if (first < 0 || last >= kBankCount || first > last)
    throw std::invalid_argument("Banks " + std::to_string(first) + ".." + std::to_string(last) + " are not within A..H");
  auto job = std::make_shared<BankReadJob>(c, receiver_text::kCaption, std::move(done));
  for (int slot = (last + 1) * kProgramsPerBank - 1; slot >= first * kProgramsPerBank; --slot) job->Want(slot);
  return job;
}

std::shared_ptr<BankReadJob> BankReadJob::Slot(TransferContext& c, int slot, Done done) {
  if (slot < 0 || slot >= kSlotCount) throw std::invalid_argument("Slot " + std::to_string(slot) + " is not A001..H128");
  auto job = std::make_shared<BankReadJob>(c, receiver_text::kReadingCurrentSound, std::move(done));
  job->Want(slot);
  return job;
}

void BankReadJob::Want(int slot) {
  // Pushed last slot first: the stack pops them in slot order.
  requests_.Push(static_cast<std::uint8_t>(slot / kProgramsPerBank));
  requests_.Push(static_cast<std::uint8_t>(slot % kProgramsPerBank));
  wanted_.set(static_cast<std::size_t>(slot));
}

std::vector<int> BankReadJob::Unseen() const {
  std::vector<int> slots;
  for (int i = 0; i < kSlotCount; ++i)
    if (wanted_.test(static_cast<std::size_t>(i)) && !seen_.test(static_cast<std::size_t>(i))) slots.push_back(i);
  return slots;
}

void BankReadJob::Start() {
  OpenSession(title_);
  StartReceive(kFirstReceiveSize);
  ShowProgress("Received", 0, static_cast<int>(wanted_.count()));
  SendNext();
  c_.ui.ShowModal([weak = weak_from_this()] {
    if (const auto self = weak.lock()) static_cast<BankReadJob&>(*self).Closed();
  });
}

void BankReadJob::Closed() {
  receiving_ = false;
  awaiting_ = false;
  Finish();
}

void BankReadJob::OnLongData(std::span<const std::uint8_t> data) {
  // Keep the buffer armed at once: every dump is stored by its own bank and
  // program bytes, so one arriving during the pause is not lost.
  ArmBuffer(kSoundSize);

  if (const char* defect = c_.DumpDefect(data); *defect) {
    c_.log.LogMessage("Rejected reply to the request for " + OpenRequestLabel() + ": " + defect + " (" +
                      std::to_string(data.size()) + " bytes)");
    ResendSoon();
    return;
  }
  SoundData sound = SoundData::FromBytes(data);
  const int bank = sound[offs::kBank], program = sound[offs::kProgram];
  if (bank == kEditBufferBank) {
    // The instrument sends its edit buffer when a user presses a button on
    // it; nobody asked, and it belongs to no slot of this read.
    c_.log.LogMessage("Ignored an edit buffer dump that was not asked for");
    return;
  }
  if (bank >= kBankCount) {
    c_.log.LogMessage("Rejected sound dump: bank byte " + std::to_string(bank) + " names no bank");
    ResendSoon();
    return;
  }
  const int slot = bank * kProgramsPerBank + program;
  if (!wanted_.test(static_cast<std::size_t>(slot))) {
    c_.log.LogMessage("Ignored a dump of " + SlotLabel(slot) + ": not asked for in this read");
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
  c_.log.LogMessage("Bank/Patch:" + std::to_string(bank) + "/" + std::to_string(program) + " " +
                    std::to_string(c_.blofeld.CurrentIndex));
  c_.blofeld.Sound(slot) = sound;
  c_.blofeld.SetChanged(slot, false);
  seen_.set(static_cast<std::size_t>(slot));
  unansweredInARow_ = 0;
  if (c_.OnSlotChanged) c_.OnSlotChanged(slot);
  c_.log.LogMessage(std::string("Rec Bank: ") + static_cast<char>(65 + bank) + " Sound:" + std::to_string(program + 1));
  ShowProgress("Received", static_cast<int>(seen_.count()), static_cast<int>(wanted_.count()));
  if (answered) ChainNext();
}

void BankReadJob::ChainNext() {
  After(ChainGapMs(), [this] {
    if (receiving_) SendNext();  // not after "&Close"
  });
}

void BankReadJob::SendNext() {
  while (requests_.Count() > 0) {
    const std::uint8_t program = requests_.Pop();
    const std::uint8_t bank = requests_.Pop();
    // A slot that came already (out of turn) is not asked for again.
    if (bank < kBankCount && program < kProgramsPerBank && seen_.test(bank * kProgramsPerBank + program)) continue;
    resends_ = 0;
    SendRequest(bank, program);
    ArmReplyTimer();
    return;
  }
  EndOfPass();
}

void BankReadJob::OnGivenUp() {
  awaiting_ = false;
  ++unansweredInARow_;
  c_.log.LogMessage("No reply for " + OpenRequestLabel() + "; moving on");
  if (unansweredInARow_ >= kSilentAfter) {
    c_.log.LogMessage("The instrument stopped answering");
    FinishRead();
    return;
  }
  ChainNext();
}

void BankReadJob::EndOfPass() {
  const std::vector<int> missing = Unseen();
  if (missing.empty() || round_ >= kExtraRounds) {
    FinishRead();
    return;
  }
  ++round_;
  c_.log.LogMessage("Asking again for " + std::to_string(missing.size()) + " sound(s) with no valid reply (round " +
                    std::to_string(round_) + " of " + std::to_string(kExtraRounds) + ")");
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) Want(*it);
  SendNext();
}

void BankReadJob::FinishRead() {
  c_.Missing = Unseen();
  const int total = static_cast<int>(wanted_.count());
  if (c_.Missing.empty()) {
    c_.log.LogMessage("Received all " + std::to_string(total) + " sound(s)");
  } else {
    const int missing = static_cast<int>(c_.Missing.size());
    c_.log.LogMessage("Missing " + std::to_string(missing) + " of " + std::to_string(total) +
                      " sound(s): " + SlotList(c_.Missing));
    c_.ui.SetLabel("Received " + std::to_string(total - missing) + " of " + std::to_string(total) + "; " +
                   std::to_string(missing) + " missing");
  }
  requests_.Clear();
  awaiting_ = false;
  receiving_ = false;
  c_.ui.Close();
}

void BankReadJob::CloseClicked() {
  c_.Missing = Unseen();
  c_.Cancelled = true;
  if (!c_.Missing.empty())
    c_.log.LogMessage("Read cancelled: " + std::to_string(c_.Missing.size()) + " of " +
                      std::to_string(wanted_.count()) + " sound(s) not received");
  requests_.Clear();
  receiving_ = false;
  awaiting_ = false;
  c_.ui.Close();
}

}  // namespace tarvix
