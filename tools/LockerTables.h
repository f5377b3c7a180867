#pragma once
// The fixed tables of the parameter locker: which bytes each lock box guards,
// which bytes each swap button exchanges, the matrix columns the rolls
// rotate, and what the parameter panel shows. All offsets are positions in
// the 392-byte sound dump.

#include <array>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvix {

inline constexpr int kLockGroupCount = 21;

struct LockGroup {
  std::string_view name;     // check box object name
  std::string_view caption;  // check box caption
  std::vector<int> offsets;  // ascending, disjoint from every other group
};
// In merge order, Oscillator 1 first, Effect 2 last.
const std::array<LockGroup, kLockGroupCount>& LockGroups();

enum class SwapKind {
  Osc1Osc2, Osc1Osc3, Osc2Osc3, Filter1Filter2, Effect1Effect2,
  LFO1LFO2, LFO1LFO3, LFO2LFO3,
  FilterEnvAmpEnv, FilterEnvEnv3, FilterEnvEnv4, AmpEnvEnv3, AmpEnvEnv4, Env3Env4,
};
inline constexpr int kSwapCount = 14;

struct SwapButton {
  SwapKind kind;
  std::string_view name;
  std::string_view caption;
  std::vector<std::pair<int, int>> pairs;  // (o, o + d), each exchanged once
};
const std::array<SwapButton, kSwapCount>& SwapButtons();

enum class RollKind { DestUp, DestDown, AmountUp, AmountDown };
struct RollButton {
  RollKind kind;
  std::string_view name;
  std::string_view caption;
  int column;  // 1 = destination, 2 = amount (the source column is 0)
  bool up;     // up: slot k takes slot k + 1; down: slot k takes slot k - 1
};
const std::array<RollButton, 4>& RollButtons();

// The modulation matrix: 16 slots of source, destination, amount.
inline constexpr int kMatrixFirst = 268;
inline constexpr int kMatrixSlots = 16;
inline constexpr int MatrixOffset(int slot, int column) { return kMatrixFirst + 3 * (slot - 1) + column; }
// The four matrix modifiers, four bytes each.
inline constexpr int kModifierFirst = 252;

struct PanelLabel {
  std::string_view name;
  std::string_view heading;
  std::vector<int> offsets;  // display order; empty for the two matrix labels
  bool fixedWrapping;        // fixed size, wraps its text
};
inline constexpr int kPanelLabelCount = 20;
const std::array<PanelLabel, kPanelLabelCount>& PanelLabels();

}  // namespace tarvix
