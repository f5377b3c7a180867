#pragma once
// The library file's layout, one migration per version. A migration runs in
// the transaction that also records it, so a file is always at one version.

#include <span>
#include <string_view>

namespace tarvix::soundlib {

// Marks the file as this program's library ("TVXL").
inline constexpr int kApplicationId = 0x5456584C;

// kMigrations[i] brings a file from version i to version i + 1.
std::span<const std::string_view> Migrations();

}  // namespace tarvix::soundlib
