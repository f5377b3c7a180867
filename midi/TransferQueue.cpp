#include "midi/TransferQueue.h"

namespace tarvix {

bool TransferQueue::RefuseWhileBusy(const char* what) {
  if (!running_) return false;
  c_.log.LogMessage(std::string("A transfer is running; ") + what + " was not started");
  return true;
}

bool TransferQueue::Start(std::shared_ptr<TransferJob> job) {
  if (RefuseWhileBusy(job->Name())) return false;
  running_ = job;
  job->startedAt_ = c_.scheduler.nowMs();
  job->onEnded_ = [this, raw = job.get()] { Ended(*raw); };
  c_.Missing.clear();
  c_.Cancelled = false;
  c_.ui.SetCancelable(true);
  if (OnBusyChanged) OnBusyChanged(true);
  job->Start();  // the local reference keeps it alive through a modal dialog
  return true;
}

void TransferQueue::Ended(TransferJob& job) {
  if (running_.get() != &job) return;
  running_.reset();
  c_.ui.SetCancelable(false);
  if (OnBusyChanged) OnBusyChanged(false);
}

// Each call holds the job while it runs: the job may end (and leave the
// queue) in the middle of it.

void TransferQueue::OnLongData(std::span<const std::uint8_t> data) {
  if (const auto job = running_; job && job->Receiving()) Guarded(c_.log, [&] { job->OnLongData(data); });
}

void TransferQueue::Tick() {
  if (const auto job = running_)
    job->Tick();
  else
    c_.ui.Close();  // nothing runs: a dialog still up goes
}

void TransferQueue::CloseClicked() {
  if (const auto job = running_)
    job->CloseClicked();
  else
    c_.ui.Close();
}

}  // namespace tarvix
