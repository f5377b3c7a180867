#pragma once
// Reads sounds from the instrument: a bank, several banks, or one slot.
// Requests are chained: each stored reply sends the request for the next
// slot after a small gap (fast reads) or the MIDI delay. Only dumps of the
// slots asked for are stored, each by its own bank and program bytes. An
// overdue or damaged reply is asked for again; at the end of a pass every
// slot without an intact reply is asked for again, for kExtraRounds rounds,
// and then what is still missing is named (TransferContext::Missing). A read
// whose last kSilentAfter requests all went unanswered ends at once: the
// instrument is gone.

#include <bitset>

#include "midi/RequestStack.h"
#include "midi/TransferJob.h"

namespace tarvix {

class BankReadJob : public RequestJob {
 public:
  static constexpr int kExtraRounds = 3;
  static constexpr int kSilentAfter = 8;

  // Banks first..last (0..7) in one chain, or the single slot when slot >= 0.
  static std::shared_ptr<BankReadJob> Banks(TransferContext& c, int first, int last, Done done);
  static std::shared_ptr<BankReadJob> Slot(TransferContext& c, int slot, Done done);
  BankReadJob(TransferContext& c, const char* title, Done done);

  void Start() override;
  void OnLongData(std::span<const std::uint8_t> data) override;
  void CloseClicked() override;

 private:
  void Want(int slot);
  void SendNext();
  void ChainNext();
  void OnGivenUp() override;
  void EndOfPass();
  void FinishRead();
  void Closed();
  std::vector<int> Unseen() const;

  const char* title_;
  RequestStack requests_;
  std::bitset<kSlotCount> seen_;    // slots received intact in this read
  std::bitset<kSlotCount> wanted_;  // slots this read asks for
  int round_ = 0;                   // 0 the first pass, then the re-ask rounds
  int unansweredInARow_ = 0;        // requests given up since the last intact reply
};

}  // namespace tarvix
