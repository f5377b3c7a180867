#pragma once
// Pending (bank, program) requests of a chained read. Requests are pushed as
// pairs, bank first, so Pop yields the program first and then the bank. An
// empty stack pops FF, which the request builder treats as "nothing to send".

#include <array>
#include <cstdint>

namespace tarvix {

class RequestStack {
 public:
  static constexpr int kCapacity = 4096;
  static constexpr std::uint8_t kEmpty = 0xFF;

  // Ignored when the stack is full.
  void Push(std::uint8_t value);
  // FF when the stack is empty.
  std::uint8_t Pop();
  int Count() const { return count_; }
  void Clear() { count_ = 0; }

 private:
  std::array<std::uint8_t, kCapacity> items_{};
  int count_ = 0;
};

}  // namespace tarvix
