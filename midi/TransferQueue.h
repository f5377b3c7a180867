#pragma once
// Runs one transfer job at a time and routes what the instrument and the
// receive dialog say to it. Two transfers at once would mix their requests
// and replies, and the end of one would end the other: a job offered while
// another runs is refused and logged, whatever started it.

#include <functional>
#include <memory>
#include <span>

#include "library/Log.h"
#include "midi/ReceiverUi.h"
#include "midi/TransferJob.h"

namespace tarvix {

class TransferQueue {
 public:
  TransferQueue(TransferContext& context) : c_(context) {}

  // A job started (true) or ended (false): the window disables and enables
  // the commands that start jobs.
  std::function<void(bool busy)> OnBusyChanged;

  // Starts job unless one runs (then logs "A transfer is running; <its name>
  // was not started" and returns false). May return only once the job has
  // ended (a modal dialog).
  bool Start(std::shared_ptr<TransferJob> job);
  // Logs the refusal and returns true when a job runs: for commands that
  // must not even prepare (ask for a file) while one does.
  bool RefuseWhileBusy(const char* what);
  bool Busy() const { return running_ != nullptr; }
  // The running job, or nullptr.
  TransferJob* Running() const { return running_.get(); }

  void OnLongData(std::span<const std::uint8_t> data);
  void Tick();
  void CloseClicked();

 private:
  void Ended(TransferJob& job);

  TransferContext& c_;
  std::shared_ptr<TransferJob> running_;
};

}  // namespace tarvix
