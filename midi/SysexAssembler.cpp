#include "midi/SysexAssembler.h"

#include <stdexcept>
#include <string>

namespace tarvix {

SysexAssembler::SysexAssembler(MessageHandler handler, std::size_t maxMessage)
    : handler_(std::move(handler)), max_(maxMessage < 2 ? 2 : maxMessage) {
  msg_.reserve(4096);
}

void SysexAssembler::Start(std::uint64_t offset) {
  if (open_) ++incomplete_;
  msg_.clear();
  msg_.push_back(0xF0);
  open_ = true;
  start_ = offset;
}

void SysexAssembler::Abandon() {
  if (open_) ++incomplete_;
  open_ = false;
  msg_.clear();
}

void SysexAssembler::Feed(const std::uint8_t* bytes, std::size_t n, std::uint64_t offset) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t b = bytes[i];
    if (b == 0xF0) {
      Start(offset + i);
      continue;
    }
    if (!open_) continue;
    if (msg_.size() >= max_)
      throw std::runtime_error("the SysEx message at byte " + std::to_string(start_) + " is longer than " +
                               std::to_string(max_) + " bytes");
    msg_.push_back(b);
    if (b == 0xF7) {
      open_ = false;
      ++completed_;
      handler_(msg_);
      msg_.clear();
    }
  }
}

}  // namespace tarvix
