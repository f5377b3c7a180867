#include "midi/TransferJob.h"

#include <algorithm>

#include "midi/SysExMessages.h"

namespace tarvix {

namespace {

std::string MinutesSeconds(std::int64_t ms) {
  const std::int64_t seconds = (ms + 500) / 1000;
  const std::int64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + ":" + (rest < 10 ? "0" : "") + std::to_string(rest);
}

}  // namespace

std::string SlotList(const std::vector<int>& slots) {
  std::string list;
  for (const int slot : slots) list += (list.empty() ? "" : ", ") + SlotLabel(slot);
  return list;
}

const char* TransferContext::DumpDefect(std::span<const std::uint8_t> data) {
  const char* defect = SoundDumpDefect(data, !checksumsProven_);
  // An intact dump whose checksum byte is not 7F carries the real sum: this
  // instrument computes checksums, so from now on a 7F that is not the sum
  // is damage, not the wildcard.
  if (!*defect && data[offs::kChecksum] != 0x7F && !checksumsProven_) {
    checksumsProven_ = true;
    log.LogMessage("The instrument sends checksums; 7F is no longer taken in their place");
  }
  return defect;
}

// ---- TransferJob ---------------------------------------------------------

int TransferJob::ReplyTimeoutMs() const { return RequestJob::kFirstReplyTimeoutMs; }

void TransferJob::Finish() {
  if (ended_) return;
  ended_ = true;
  // Keeps this job alive until done has run, whoever held it before.
  const auto self = shared_from_this();
  if (onEnded_) onEnded_();
  if (done_) std::exchange(done_, nullptr)();
}

void TransferJob::After(int ms, std::function<void()> task) {
  c_.scheduler.runAfter(ms, [weak = weak_from_this(), task = std::move(task)] {
    const auto self = weak.lock();
    if (self && !self->ended_) task();
  });
}

void TransferJob::ShowProgress(const char* verb, int done, int total) {
  const std::int64_t elapsed = c_.scheduler.nowMs() - startedAt_;
  std::string text = std::string(verb) + " " + std::to_string(done) + " of " + std::to_string(total) + " (" +
                     MinutesSeconds(elapsed) + " elapsed";
  if (done > 0 && done < total) text += ", about " + MinutesSeconds(elapsed * (total - done) / done) + " left";
  c_.ui.SetLabel(text + ")");
  c_.ui.SetProgress(done, total);
}

void TransferJob::OpenSession(const char* title) {
  c_.ui.SetTitle(title);
  c_.ui.SetLabel(receiver_text::kWaiting);
}

// ---- RequestJob ----------------------------------------------------------

void RequestJob::StartReceive(std::size_t size) {
  receiving_ = true;
  ArmBuffer(size);
}

void RequestJob::ArmBuffer(std::size_t size) {
  Guarded(c_.log, [&] { c_.link.PrepareReceive(size); });
}

void RequestJob::SendRequest(std::uint8_t bank, std::uint8_t program) {
  if (SoundRequest(c_.link, c_.DeviceId, bank, program)) {
    awaiting_ = true;
    requestedAt_ = c_.scheduler.nowMs();
    if (resends_ == 0) firstRequestedAt_ = requestedAt_;
    lastRequestKey_ = bank == kEditBufferBank ? kSlotCount : bank * kProgramsPerBank + program;
    ++requestSerial_;
  }
}

void RequestJob::SendGlobalRequest() {
  GlobalRequest(c_.link, c_.DeviceId);
  awaiting_ = true;
  requestedAt_ = firstRequestedAt_ = c_.scheduler.nowMs();
}

std::string RequestJob::OpenRequestLabel() const {
  if (lastRequestKey_ >= 0 && lastRequestKey_ < kSlotCount) return SlotLabel(lastRequestKey_);
  return "the edit buffer";
}

int RequestJob::ReplyTimeoutMs() const {
  if (roundTripMs_ < 0) return kFirstReplyTimeoutMs;
  return std::clamp(static_cast<int>(2 * roundTripMs_) + 20, kMinReplyTimeoutMs, kMaxReplyTimeoutMs);
}

void RequestJob::ArmReplyTimer() {
  if (!awaiting_) return;
  const int wait = ReplyTimeoutMs() << resends_;
  After(wait, [this, wait, serial = requestSerial_] {
    if (serial != requestSerial_ || !awaiting_ || !receiving_) return;
    if (resends_ >= kMaxResends) {
      OnGivenUp();
      return;
    }
    c_.log.LogMessage("No reply for " + OpenRequestLabel() + " within " + std::to_string(wait) + " ms; asking again");
    RequestAgain();
  });
}

void RequestJob::MeasureRoundTrip() {
  // Only a request sent once gives a clean measurement: after a resend the
  // reply may answer either copy.
  if (resends_ > 0) return;
  const auto rtt = static_cast<double>(c_.scheduler.nowMs() - requestedAt_);
  // Quick to grow, slow to shrink: one slow reply keeps the timeout generous
  // for a while, so a busy link is not flooded with resends.
  roundTripMs_ = std::max(rtt, roundTripMs_ * 0.9);
}

bool RequestJob::ReplyOutstanding() const {
  // A request just sent keeps the dialog up for one timer period, so the
  // reply to the last request of a fetch is not cut off by a tick that
  // happens to fall right after it went out. Resends of it do not extend
  // that period: a silent instrument still ends a fetch at a tick.
  return awaiting_ && c_.scheduler.nowMs() - firstRequestedAt_ < receiver_text::kTickMs;
}

void RequestJob::ResendSoon() {
  // The reply timer still runs, so junk that was not the reply at all costs
  // nothing but a duplicate.
  if (!awaiting_ || resends_ >= kMaxResends) return;
  After(ChainGapMs(), [this, serial = requestSerial_] {
    if (serial != requestSerial_ || !awaiting_) return;
    RequestAgain();
  });
}

bool RequestJob::RequestAgain() {
  if (!receiving_ || !awaiting_ || lastRequestKey_ < 0 || lastRequestKey_ > kSlotCount) return false;
  ++resends_;
  if (lastRequestKey_ == kSlotCount)
    SendRequest(kEditBufferBank, 0);
  else
    SendRequest(static_cast<std::uint8_t>(lastRequestKey_ / kProgramsPerBank),
                static_cast<std::uint8_t>(lastRequestKey_ % kProgramsPerBank));
  ArmBuffer(kSoundSize);
  ArmReplyTimer();
  return true;
}

}  // namespace tarvix
