#pragma once
// A bank set: 1024 sound slots (8 banks x 128 programs) with their changed
// flags, plus the bookkeeping the lists need: which rows are selected, the
// collected selection and the current row. The Blofeld banks and the Virtual
// banks are two instances; every operation takes the set it works on.

#include <array>
#include <bitset>
#include <vector>

#include "library/SoundData.h"

namespace tarvix {

struct SoundSlot {
  SoundData sound;
  bool changed = false;
};

enum class BankSetKind { Blofeld = 1, Virtual = 2 };

class BankSet {
 public:
  explicit BankSet(BankSetKind kind = BankSetKind::Blofeld) : kind_(kind) {}

  BankSetKind Kind() const { return kind_; }
  bool IsBlofeld() const { return kind_ == BankSetKind::Blofeld; }

  SoundSlot& Slot(int i) { return slots_.at(static_cast<std::size_t>(i)); }
  const SoundSlot& Slot(int i) const { return slots_.at(static_cast<std::size_t>(i)); }
  SoundData& Sound(int i) { return Slot(i).sound; }
  const SoundData& Sound(int i) const { return Slot(i).sound; }
  bool Changed(int i) const { return Slot(i).changed; }
  void SetChanged(int i, bool on = true) { Slot(i).changed = on; }
  void ClearAllChanged();

  // Row selection as the list shows it. The window mirrors its selection model
  // into this (and back), so every operation here sees what the user sees.
  bool IsSelected(int row) const { return selected_.test(static_cast<std::size_t>(row)); }
  void Select(int row, bool on = true) { selected_.set(static_cast<std::size_t>(row), on); }
  void ClearSelection() { selected_.reset(); }
  int SelectedCount() const { return static_cast<int>(selected_.count()); }
  const std::bitset<kSlotCount>& Selection() const { return selected_; }
  void SetSelection(const std::bitset<kSlotCount>& s) { selected_ = s; }

  // The rows that were selected when the selection was last collected,
  // ascending. Moving and sorting work on it; reselecting restores it.
  std::vector<int> SelectionList;
  // The list's current (highlighted) row: set by the view whenever its
  // current row changes, and by steps, finds and moves, which the window
  // then shows. -1 when the list has no current row.
  int CurrentIndex = 0;

 private:
  BankSetKind kind_;
  std::array<SoundSlot, kSlotCount> slots_{};
  std::bitset<kSlotCount> selected_;
};

// Wrappers addressing a slot of a set by flat index; out-of-range indices give
// no name, as callers are expected to pass valid indices.
std::string GetSoundName(const BankSet& set, int index);
void SetSoundName(BankSet& set, int index, std::string_view name);
std::uint8_t GetCategory(const BankSet& set, int index);
void SetCategory(BankSet& set, int index, std::uint8_t category);

// Stamp device id, bank and program of the slot's own position into a Blofeld
// banks slot and return its checksum (0..127).
std::uint8_t ComputeChecksum(BankSet& blofeld, int index, std::uint8_t deviceId);
// ComputeChecksum for every slot 0..1023 in order, storing the result at 390.
void RefreshChecksums(BankSet& blofeld, std::uint8_t deviceId);

}  // namespace tarvix
