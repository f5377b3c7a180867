#pragma once
// Where the converters put their output: called with consecutive pieces of
// the file being written, in order. The file converter points it at an
// atomic file writer; tests and benchmarks collect or count the bytes.

#include <cstdint>
#include <functional>
#include <span>

namespace tarvix {

using ByteSink = std::function<void(std::span<const std::uint8_t>)>;

}  // namespace tarvix
