#pragma once
// Fetches of one reply: the edit buffer (for the editor or the locker) and
// the global data. The dialog stays up while the reply is awaited and closes
// at its next tick once the reply is in, or once a request has gone
// unanswered for a whole tick: a silent instrument ends a fetch.

#include "midi/TransferJob.h"

namespace tarvix {

class FetchJob : public RequestJob {
 public:
  using RequestJob::RequestJob;
  void Tick() override;
  void CloseClicked() override;

 protected:
  // Shows the dialog; the job ends when it closes.
  void ShowDialog();
};

class EditBufferFetchJob : public FetchJob {
 public:
  // status: what the window opens on arrival (1 the editor, 2 the locker).
  EditBufferFetchJob(TransferContext& c, int status, Done done)
      : FetchJob(c, "the edit buffer fetch", std::move(done)), status_(status) {}
  void Start() override;
  void OnLongData(std::span<const std::uint8_t> data) override;

 private:
  int status_;
};

class GlobalsFetchJob : public FetchJob {
 public:
  GlobalsFetchJob(TransferContext& c, Done done) : FetchJob(c, "the global data request", std::move(done)) {}
  void Start() override;
  void OnLongData(std::span<const std::uint8_t> data) override;
};

}  // namespace tarvix
