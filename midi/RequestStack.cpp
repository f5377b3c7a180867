#include "midi/RequestStack.h"

namespace tarvix {

void RequestStack::Push(std::uint8_t value) {
  if (count_ < kCapacity) items_[static_cast<std::size_t>(count_++)] = value;
}

std::uint8_t RequestStack::Pop() {
  if (count_ == 0) return kEmpty;
  return items_[static_cast<std::size_t>(--count_)];
}

}  // namespace tarvix
