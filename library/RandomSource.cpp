#include "library/RandomSource.h"

#include <chrono>
#include <ctime>

namespace tarvix {

std::uint32_t RandomSource::Random(std::uint32_t n) {
  seed_ = seed_ * 134775813u + 1u;  // unsigned arithmetic wraps modulo 2^32
  return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * n) >> 32);
}

std::uint32_t RandomSource::TimeOfDaySeed() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&t, &local);
  const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  return static_cast<std::uint32_t>(((local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec) * 1000 + ms);
}

RandomSource& RandomSource::Program() {
  static RandomSource source(TimeOfDaySeed());
  return source;
}

}  // namespace tarvix
