#pragma once
// Sends to the instrument, one message per MIDI delay so it has time to
// store each: the selected sounds, or every System Exclusive message of a
// file. Each message counts as sent only when the port took it. "&Close"
// (Cancel) stops a send after the message in flight; the dialog and the log
// then say "Sent N of M" and name what was not sent.

#include <filesystem>
#include <memory>

#include "midi/TransferJob.h"

namespace tarvix {

class PacedSendJob : public TransferJob {
 public:
  using TransferJob::TransferJob;
  void Start() override;
  void CloseClicked() override { cancel_ = true; }

 protected:
  // Takes what is to be sent; returns how many messages that is.
  virtual int Prepare() = 0;
  // Sends message k (counting SentCount); false when none is left.
  virtual bool SendItem(int k) = 0;
  // The closing line's parts once k messages were handled: what was sent
  // ("sound(s)") and what was not ("" when nothing).
  virtual std::string What() const = 0;
  virtual std::string Unsent(int k) = 0;
  // After the closing line, before the job ends.
  virtual void Closing() {}
  bool cancel_ = false;

 private:
  void Step(int k);
};

// The selected Blofeld rows that are not empty, in row order; the changed
// flag is cleared for each one the port took, the others keep theirs.
class SendSelectedJob : public PacedSendJob {
 public:
  SendSelectedJob(TransferContext& c, Done done) : PacedSendJob(c, "the send", std::move(done)) {}

 private:
  int Prepare() override;
  bool SendItem(int k) override;
  std::string What() const override { return "sound(s)"; }
  std::string Unsent(int k) override;
  std::vector<int> rows_;
};

class SysExFileReader;

class FileSendJob : public PacedSendJob {
 public:
  // Reads the file once to count its messages; throws when it cannot be read
  // or holds a message longer than the port carries (nothing is sent then).
  static std::shared_ptr<FileSendJob> Open(TransferContext& c, const std::filesystem::path& file, Done done);
  // The slots the file's intact sound dumps are meant for, ascending, each
  // once. Throws when the file cannot be read.
  static std::vector<int> SoundSlots(const std::filesystem::path& file);

  FileSendJob(TransferContext& c, std::filesystem::path file, int total, Done done);
  ~FileSendJob() override;

 private:
  int Prepare() override { return total_; }
  bool SendItem(int k) override;
  std::string What() const override { return "messages from " + file_.string(); }
  std::string Unsent(int k) override;
  void Closing() override;
  std::filesystem::path file_;
  int total_;
  int refused_ = 0;
  std::unique_ptr<SysExFileReader> reader_;
};

}  // namespace tarvix
