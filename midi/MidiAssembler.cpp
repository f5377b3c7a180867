#include "midi/MidiAssembler.h"

namespace tarvix {

namespace {
// Data bytes that follow a channel or system common status byte.
std::size_t DataLength(std::uint8_t status) {
  switch (status & 0xF0) {
    case 0xC0:
    case 0xD0:
      return 1;
    case 0xF0:
      switch (status) {
        case 0xF1:
        case 0xF3:
          return 1;
        case 0xF2:
          return 2;
        default:
          return 0;
      }
    default:
      return 2;
  }
}
}  // namespace

void MidiAssembler::StartChannel(std::uint8_t status) {
  message_[0] = status;
  have_ = 1;
  need_ = 1 + DataLength(status);
  // Only channel messages set running status; system common messages clear it.
  running_ = status < 0xF0 ? status : 0;
}

void MidiAssembler::Feed(std::span<const std::uint8_t> chunk) {
  for (const std::uint8_t b : chunk) {
    if (b >= 0xF8) {  // real time: a message by itself, wherever it falls
      sink_(std::span<const std::uint8_t>(&b, 1));
      continue;
    }
    if (inSysEx_) {
      if (b == 0xF7) {
        inSysEx_ = false;
        if (overlong_) {
          ++dropped_;
        } else {
          sysex_.push_back(b);
          sink_(sysex_);
        }
        sysex_.clear();
        continue;
      }
      if (b < 0x80) {
        if (sysex_.size() < kMaxSysEx)
          sysex_.push_back(b);
        else
          overlong_ = true;
        continue;
      }
      // A status byte before F7: the message was cut off.
      inSysEx_ = false;
      sysex_.clear();
      ++dropped_;
    }
    if (b == 0xF0) {
      inSysEx_ = true;
      overlong_ = false;
      sysex_.clear();
      sysex_.push_back(b);
      have_ = need_ = 0;
      running_ = 0;
      continue;
    }
    if (b >= 0x80) {
      if (b == 0xF7) continue;  // a stray end byte
      if (have_ && have_ < need_) ++dropped_;  // previous message incomplete
      StartChannel(b);
    } else {
      if (have_ == 0 || have_ >= need_) {
        if (!running_) continue;  // data without a status: nothing to attach it to
        StartChannel(running_);
      }
      message_[have_++] = b;
    }
    if (have_ == need_) {
      sink_(std::span<const std::uint8_t>(message_, have_));
      have_ = need_;  // complete; the next data byte starts a running-status message
    }
  }
}

}  // namespace tarvix
