#include "midi/FetchJobs.h"

#include <algorithm>

#include "midi/SysExMessages.h"

namespace tarvix {

void FetchJob::Tick() {
  if (receiving_ && ReplyOutstanding()) return;
  c_.ui.Close();
}

void FetchJob::CloseClicked() {
  receiving_ = false;
  awaiting_ = false;
  c_.ui.Close();
}

void FetchJob::ShowDialog() {
  c_.ui.ShowModal([weak = weak_from_this()] {
    if (const auto self = weak.lock()) {
      auto& job = static_cast<FetchJob&>(*self);
      job.receiving_ = false;
      job.Finish();
    }
  });
}

void EditBufferFetchJob::Start() {
  OpenSession(receiver_text::kCaption);
  SendRequest(kEditBufferBank, 0);
  StartReceive(kSoundSize);
  ArmReplyTimer();
  ShowDialog();
}

void EditBufferFetchJob::OnLongData(std::span<const std::uint8_t> data) {
  if (const char* defect = c_.DumpDefect(data); *defect) {
    c_.log.LogMessage(std::string("Rejected edit buffer sound: ") + defect);
    // Junk before the reply must not take the buffer from it.
    ArmBuffer(kSoundSize);
    ResendSoon();
    return;
  }
  // A dump of a bank slot is a late answer to an earlier read, not the edit
  // buffer: taken, the editor would open on it and OK would store it. The
  // edit buffer's own answer may still come.
  if (data[offs::kBank] != kEditBufferBank) {
    c_.log.LogMessage("Ignored a dump of " +
                      (data[offs::kBank] < kBankCount
                           ? SlotLabel(data[offs::kBank] * kProgramsPerBank + data[offs::kProgram])
                           : std::string("an unknown slot")) +
                      " while waiting for the edit buffer");
    ArmBuffer(kSoundSize);
    return;
  }
  awaiting_ = false;
  c_.CurrentSound = SoundData::FromBytes(data);
  c_.log.LogMessage(receiver_text::kReceivedCurrentSound);
  c_.ui.SetLabel(receiver_text::kReceivedCurrentSound);
  receiving_ = false;
  c_.CurrentSoundStatus = status_;
}

void GlobalsFetchJob::Start() {
  OpenSession(receiver_text::kCaption);
  SendGlobalRequest();
  StartReceive(kGlobalDataSize);
  ShowDialog();
}

void GlobalsFetchJob::OnLongData(std::span<const std::uint8_t> data) {
  if (!IsGlobalDump(data)) {
    // Kept global data stays as it was rather than taking a damaged dump;
    // the real reply may still come.
    c_.log.LogMessage("Rejected global data: " + std::to_string(data.size()) + " bytes, not a global dump");
    ArmBuffer(kGlobalDataSize);
    return;
  }
  awaiting_ = false;
  std::copy(data.begin(), data.end(), c_.Globals.bytes.begin());
  c_.ui.SetLabel(receiver_text::kReceivedGlobals);
  c_.log.LogMessage(receiver_text::kReceivedGlobals);
  receiving_ = false;
}

}  // namespace tarvix
