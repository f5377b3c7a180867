#pragma once
// A buffered, forward-only reader over a byte stream that counts the offset
// of every byte it hands out. The converters read whole files through it in
// fixed-size chunks, so a file of any size costs the same memory, and every
// read is bounds-checked: running out of input is reported, never read past.

#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>

namespace tarvix {

class ByteReader {
 public:
  explicit ByteReader(std::istream& in) : in_(in) {}

  // The next byte, or false at the end of the input.
  bool Get(std::uint8_t& b) {
    if (pos_ == end_ && !Fill()) return false;
    b = buf_[pos_++];
    ++offset_;
    return true;
  }
  // Copies up to n bytes to dst; returns how many were available.
  std::size_t Read(std::uint8_t* dst, std::size_t n);
  // Skips up to n bytes; returns how many were skipped.
  std::uint64_t Skip(std::uint64_t n);
  // Offset of the next byte from the start of the input.
  std::uint64_t Offset() const { return offset_; }
  bool AtEnd() {
    return pos_ == end_ && !Fill();
  }

 private:
  bool Fill();

  std::istream& in_;
  std::array<std::uint8_t, 64 * 1024> buf_{};
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t offset_ = 0;
};

}  // namespace tarvix
