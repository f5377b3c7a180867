#pragma once
// Collects System Exclusive messages from a run of bytes: F0 starts a
// message, F7 ends it, bytes outside a message are ignored. A second F0
// before the F7 means the first message was cut off; it is dropped and
// counted, and the new one starts (the way a MIDI receiver resynchronises).
// A message is held in memory until its F7 arrives, so its length is capped:
// a longer one is an error rather than a silent loss or an unbounded buffer.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace tarvix {

class SysexAssembler {
 public:
  // Called with each complete message, F0 through F7. The bytes may be
  // changed by the callee; they are discarded afterwards.
  using MessageHandler = std::function<void(std::span<std::uint8_t>)>;

  static constexpr std::size_t kDefaultMaxMessage = 16u * 1024u * 1024u;

  explicit SysexAssembler(MessageHandler handler, std::size_t maxMessage = kDefaultMaxMessage);

  // Feeds bytes that start at `offset` in the input (used in error messages).
  void Feed(const std::uint8_t* bytes, std::size_t n, std::uint64_t offset);
  void Feed(std::uint8_t b, std::uint64_t offset) { Feed(&b, 1, offset); }
  // Drops a message still open (no F7 yet), counting it as incomplete.
  void Abandon();

  bool InMessage() const { return open_; }
  std::size_t Completed() const { return completed_; }
  std::size_t Incomplete() const { return incomplete_; }

 private:
  void Start(std::uint64_t offset);

  MessageHandler handler_;
  std::size_t max_;
  std::vector<std::uint8_t> msg_;
  bool open_ = false;
  std::uint64_t start_ = 0;
  std::size_t completed_ = 0;
  std::size_t incomplete_ = 0;
};

}  // namespace tarvix
