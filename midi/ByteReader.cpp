#include "midi/ByteReader.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace tarvix {

bool ByteReader::Fill() {
  if (!in_) return false;
  in_.read(reinterpret_cast<char*>(buf_.data()), static_cast<std::streamsize>(buf_.size()));
  const auto got = in_.gcount();
  // A read that stops short only because the input ended sets eof; anything
  // else (badbit) is a device error and must not pass for a short file.
  if (in_.bad()) throw std::runtime_error("read error");
  pos_ = 0;
  end_ = got > 0 ? static_cast<std::size_t>(got) : 0;
  return end_ > 0;
}

std::size_t ByteReader::Read(std::uint8_t* dst, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    if (pos_ == end_ && !Fill()) break;
    const std::size_t take = std::min(n - done, end_ - pos_);
    std::memcpy(dst + done, buf_.data() + pos_, take);
    pos_ += take;
    done += take;
  }
  offset_ += done;
  return done;
}

std::uint64_t ByteReader::Skip(std::uint64_t n) {
  std::uint64_t done = 0;
  while (done < n) {
    if (pos_ == end_ && !Fill()) break;
    const std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(n - done, end_ - pos_));
    pos_ += take;
    done += take;
  }
  offset_ += done;
  return done;
}

}  // namespace tarvix
