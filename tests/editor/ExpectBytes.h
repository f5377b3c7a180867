#pragma once
// Checks several bytes of a sound in one line: {{offset, value}, ...}.

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "library/SoundData.h"

namespace tarvix::test {

inline void ExpectBytes(const SoundData& s, std::initializer_list<std::pair<int, int>> expected) {
  for (const auto& [offset, value] : expected)
    EXPECT_EQ(s[static_cast<std::size_t>(offset)], value) << "offset " << offset;
}

}  // namespace tarvix::test
