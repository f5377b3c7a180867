#include "midi/SendJobs.h"

#include <algorithm>
#include <deque>
#include <fstream>

#include "library/AtomicFile.h"
#include "library/BankOperations.h"
#include "midi/MidiAssembler.h"
#include "midi/SysExMessages.h"

namespace tarvix {

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

// ---- PacedSendJob --------------------------------------------------------

void PacedSendJob::Start() {
  OpenSession(receiver_text::kCaption);
  c_.ui.ShowModeless();
  const int total = Prepare();
  c_.SentCount = 0;
  c_.SendTotal = total;
  ShowProgress("Sent", 0, total);
  const auto self = weak_from_this();
  c_.scheduler.post([self] {
    if (const auto job = self.lock(); job && !job->Ended()) static_cast<PacedSendJob&>(*job).Step(0);
  });
}

void PacedSendJob::Step(int k) {
  if (cancel_ || !SendItem(k)) {
    c_.Cancelled = cancel_;
    const std::string unsent = Unsent(k);
    c_.ui.Hide();
    std::string line = "Sent " + std::to_string(c_.SentCount) + " of " + std::to_string(c_.SendTotal) + " " + What();
    if (c_.Cancelled) line += "; cancelled";
    if (!unsent.empty()) line += "; not sent: " + unsent;
    c_.log.LogMessage(line);
    c_.ui.SetLabel(line);
    Closing();
    Finish();
    return;
  }
  ShowProgress("Sent", k + 1, c_.SendTotal);
  After(c_.MidiDelayMs, [this, k] { Step(k + 1); });
}

// ---- SendSelectedJob -----------------------------------------------------

int SendSelectedJob::Prepare() {
  RefreshChecksums(c_.blofeld, c_.DeviceId);
  // The rows are taken now, so changing the selection while sending does not
  // change what is sent.
  rows_ = SendableRows(c_.blofeld);
  return static_cast<int>(rows_.size());
}

bool SendSelectedJob::SendItem(int k) {
  if (k == static_cast<int>(rows_.size())) return false;
  const int i = rows_[static_cast<std::size_t>(k)];
  if (TransmitSlot(c_.link, c_.blofeld, i)) {
    ++c_.SentCount;
    c_.blofeld.SetChanged(i, false);
    if (c_.OnSlotChanged) c_.OnSlotChanged(i);
  } else {
    c_.Missing.push_back(i);
  }
  return true;
}

std::string SendSelectedJob::Unsent(int k) {
  // Not sent: those the port refused and those after a cancel. Their
  // changed flags stay, so they are not taken for sent.
  c_.Missing.insert(c_.Missing.end(), rows_.begin() + k, rows_.end());
  std::sort(c_.Missing.begin(), c_.Missing.end());
  return SlotList(c_.Missing);
}

// ---- FileSendJob ---------------------------------------------------------

std::shared_ptr<FileSendJob> FileSendJob::Open(TransferContext& c, const std::filesystem::path& file, Done done) {
  CheckReadableFile(file);  // a folder, FIFO or device: the reason, before anything is sent
  // A first pass counts the messages and finds the longest, so a file the
  // port cannot carry is refused before anything is sent.
  int total = 0;
  SysExFileReader scan(file);  // throws the file error
  for (std::vector<std::uint8_t> message; scan.Next(message);) {
    ++total;
    if (message.size() > c.link.MaxMessageSize())
      throw std::runtime_error(file.string() + ": message " + std::to_string(total) + " has " +
                               std::to_string(message.size()) + " bytes, more than the MIDI port carries (" +
                               std::to_string(c.link.MaxMessageSize()) + "); nothing sent");
  }
  return std::make_shared<FileSendJob>(c, file, total, std::move(done));
}

std::vector<int> FileSendJob::SoundSlots(const std::filesystem::path& file) {
  std::vector<int> slots;
  SysExFileReader scan(file);
  for (std::vector<std::uint8_t> m; scan.Next(m);)
    if (m.size() == kSoundSize && *SoundDumpDefect(m) == '\0' && m[offs::kBank] < kBankCount)
      slots.push_back(m[offs::kBank] * kProgramsPerBank + m[offs::kProgram]);
  std::sort(slots.begin(), slots.end());
  slots.erase(std::unique(slots.begin(), slots.end()), slots.end());
  return slots;
}

FileSendJob::FileSendJob(TransferContext& c, std::filesystem::path file, int total, Done done)
    : PacedSendJob(c, "the file send", std::move(done)),
      file_(std::move(file)),
      total_(total),
      reader_(std::make_unique<SysExFileReader>(file_)) {}

FileSendJob::~FileSendJob() = default;

bool FileSendJob::SendItem(int /*k*/) {
  std::vector<std::uint8_t> message;
  if (!reader_->Next(message)) return false;
  if (c_.link.Transmit(message))
    ++c_.SentCount;
  else
    ++refused_;
  return true;
}

void FileSendJob::Closing() {
  if (reader_->Skipped()) c_.log.LogMessage("Skipped " + std::to_string(reader_->Skipped()) + " broken messages");
}

std::string FileSendJob::Unsent(int k) {
  std::string unsent;
  if (refused_) unsent = std::to_string(refused_) + " refused by the port";
  if (c_.SendTotal - k > 0) unsent += (unsent.empty() ? "" : ", ") + std::to_string(c_.SendTotal - k) + " not sent";
  return unsent;
}

}  // namespace tarvix
