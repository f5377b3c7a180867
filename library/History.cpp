#include "library/History.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace tarvix {

namespace {

bool SameSlot(const SoundSlot& a, const SoundSlot& b) { return a.changed == b.changed && a.sound == b.sound; }

}  // namespace

bool SameSoundContent(const SoundData& a, const SoundData& b) {
  constexpr std::size_t first = offs::kFirstParameter;
  return std::memcmp(a.data() + first, b.data() + first, offs::kLastParameter + 1 - first) == 0;
}

History::History(BankSet& blofeld, BankSet& virtualSet, Limits limits)
    : blofeld_(blofeld), virtual_(virtualSet), limits_(limits) {}

void History::Begin(std::string label) {
  if (depth_++ > 0) return;
  if (OnChanged) OnChanged();  // nothing can be undone while a step is open
  pending_.label = std::move(label);
  pending_.sets = 0;
  pending_.whole[0] = pending_.whole[1] = false;
  pending_.declared.clear();
  // Undo puts both lists' selection and current row back as they were, also
  // in the list the command did not change: the user's clicks since then are
  // no step of their own.
  NoteSet(0);
  NoteSet(1);
}

void History::NoteSet(int i) {
  const unsigned bit = i == 0 ? kBlofeldSet : kVirtualSet;
  if (pending_.sets & bit) return;
  pending_.sets |= bit;
  pending_.selection[i] = SetAt(i).Selection();
  pending_.current[i] = SetAt(i).CurrentIndex;
}

void History::Touch(BankSet& set, int slot) {
  if (!IsOpen()) throw std::logic_error("a change to the bank sets was made outside an undo step");
  if (slot < 0 || slot >= kSlotCount) return;
  const int i = IndexOf(set);
  NoteSet(i);
  if (pending_.whole[i]) return;
  const auto where = static_cast<std::uint16_t>(slot | (i == 1 ? kVirtualBit : 0));
  for (const Entry& e : pending_.declared)
    if (e.where == where) return;  // the first state seen is the one before the step
  pending_.declared.push_back({where, set.Slot(slot)});
}

void History::TouchAll(BankSet& set) {
  if (!IsOpen()) throw std::logic_error("a change to the bank sets was made outside an undo step");
  const int i = IndexOf(set);
  NoteSet(i);
  if (pending_.whole[i]) return;
  pending_.whole[i] = true;
  std::vector<SoundSlot>& before = pending_.wholeBefore[i];
  before.resize(kSlotCount);
  for (int s = 0; s < kSlotCount; ++s) before[static_cast<std::size_t>(s)] = set.Slot(s);
  // Slots named earlier in this step may have changed since: their older
  // state is the one before the step.
  auto& declared = pending_.declared;
  for (const Entry& e : declared)
    if (((e.where & kVirtualBit) != 0) == (i == 1)) before[e.where & ~kVirtualBit] = e.other;
  std::erase_if(declared, [&](const Entry& e) { return ((e.where & kVirtualBit) != 0) == (i == 1); });
}

void History::End() {
  if (depth_ == 0) return;
  if (--depth_ > 0) return;
  StepData step;
  for (int i = 0; i < 2; ++i) {
    if (!pending_.whole[i]) continue;
    const BankSet& set = SetAt(i);
    const auto& before = pending_.wholeBefore[i];
    std::size_t differing = 0;
    for (int s = 0; s < kSlotCount; ++s) differing += SameSlot(set.Slot(s), before[static_cast<std::size_t>(s)]) ? 0 : 1;
    step.entries.reserve(step.entries.size() + differing);
    for (int s = 0; s < kSlotCount; ++s)
      if (!SameSlot(set.Slot(s), before[static_cast<std::size_t>(s)]))
        step.entries.push_back({static_cast<std::uint16_t>(s | (i == 1 ? kVirtualBit : 0)),
                                before[static_cast<std::size_t>(s)]});
  }
  for (const Entry& e : pending_.declared) {
    const BankSet& set = SetAt((e.where & kVirtualBit) ? 1 : 0);
    if (!SameSlot(set.Slot(e.where & ~kVirtualBit), e.other)) step.entries.push_back(e);
  }
  pending_.declared.clear();
  if (step.entries.empty()) {  // nothing changed: nothing to take back
    if (OnChanged) OnChanged();
    return;
  }
  step.entries.shrink_to_fit();
  step.label = std::move(pending_.label);
  step.sets = pending_.sets;
  for (int i = 0; i < 2; ++i) {
    if (!(step.sets & (i == 0 ? kBlofeldSet : kVirtualSet))) continue;
    step.current[i] = pending_.current[i];
    step.selection[i] = Runs(pending_.selection[i]);
  }
  step.bytes = Account(step);
  for (const StepData& r : redo_) bytes_ -= r.bytes;
  redo_.clear();
  bytes_ += step.bytes;
  undo_.push_back(std::move(step));
  sealedBy_.clear();
  Trim();
  if (OnChanged) OnChanged();
}

std::size_t History::Account(const StepData& step) {
  std::size_t n = sizeof(StepData) + step.entries.capacity() * sizeof(Entry);
  if (step.label.capacity() > 15) n += step.label.capacity() + 1;  // beyond the string's own buffer
  for (const auto& s : step.selection) n += s.capacity() * sizeof(std::uint16_t);
  return n;
}

std::vector<std::uint16_t> History::Runs(const Selection& selection) {
  std::vector<std::uint16_t> runs;
  for (int i = 0; i < kSlotCount; ++i) {
    if (!selection.test(static_cast<std::size_t>(i))) continue;
    int end = i + 1;
    while (end < kSlotCount && selection.test(static_cast<std::size_t>(end))) ++end;
    runs.push_back(static_cast<std::uint16_t>(i));
    runs.push_back(static_cast<std::uint16_t>(end));
    i = end;
  }
  runs.shrink_to_fit();
  return runs;
}

History::Selection History::FromRuns(const std::vector<std::uint16_t>& runs) {
  Selection s;
  for (std::size_t k = 0; k + 1 < runs.size(); k += 2)
    for (int i = runs[k]; i < runs[k + 1]; ++i) s.set(static_cast<std::size_t>(i));
  return s;
}

void History::Trim() {
  // The newest step always stays: the command just made can be undone.
  while (undo_.size() > 1 && (undo_.size() > limits_.maxSteps || bytes_ > limits_.maxBytes)) {
    bytes_ -= undo_.front().bytes;
    undo_.pop_front();
  }
}

unsigned History::Apply(StepData& step) {
  unsigned mask = kNone;
  for (Entry& e : step.entries) {
    const int i = (e.where & kVirtualBit) ? 1 : 0;
    const int slot = e.where & ~kVirtualBit;
    BankSet& set = SetAt(i);
    std::swap(set.Slot(slot), e.other);
    if (i == 0 && !knownValid_.empty() && knownValid_[static_cast<std::size_t>(slot)])
      set.SetChanged(slot, !SameSoundContent(set.Sound(slot), known_[static_cast<std::size_t>(slot)]));
    mask |= i == 0 ? kBlofeldSet : kVirtualSet;
  }
  for (int i = 0; i < 2; ++i) {
    const unsigned bit = i == 0 ? kBlofeldSet : kVirtualSet;
    if (!(step.sets & bit)) continue;
    BankSet& set = SetAt(i);
    // The user's clicks after the step are no step of their own: the
    // selection goes back to what it was when the step began, and the one
    // replaced is kept for the way back.
    std::vector<std::uint16_t> now = Runs(set.Selection());
    set.SetSelection(FromRuns(step.selection[i]));
    step.selection[i] = std::move(now);
    std::swap(set.CurrentIndex, step.current[i]);
    mask |= bit;
  }
  bytes_ -= step.bytes;
  step.bytes = Account(step);
  bytes_ += step.bytes;
  return mask;
}

unsigned History::Undo() {
  if (!CanUndo()) return kNone;
  StepData step = std::move(undo_.back());
  undo_.pop_back();
  const unsigned mask = Apply(step);
  redo_.push_back(std::move(step));
  if (OnChanged) OnChanged();
  return mask;
}

unsigned History::Redo() {
  if (!CanRedo()) return kNone;
  StepData step = std::move(redo_.back());
  redo_.pop_back();
  const unsigned mask = Apply(step);
  undo_.push_back(std::move(step));
  if (OnChanged) OnChanged();
  return mask;
}

void History::InstrumentHolds(int slot, const SoundData& sound) {
  if (slot < 0 || slot >= kSlotCount) return;
  if (knownValid_.empty()) {
    known_.resize(kSlotCount);
    knownValid_.assign(kSlotCount, false);
  }
  known_[static_cast<std::size_t>(slot)] = sound;
  knownValid_[static_cast<std::size_t>(slot)] = true;
}

void History::InstrumentUnknown(int slot) {
  if (slot >= 0 && slot < static_cast<int>(knownValid_.size())) knownValid_[static_cast<std::size_t>(slot)] = false;
}

void History::InstrumentUnknownAll() { knownValid_.assign(knownValid_.size(), false); }

void History::Seal(std::string label) {
  undo_.clear();
  redo_.clear();
  bytes_ = 0;
  sealedBy_ = std::move(label);
  if (OnChanged) OnChanged();
}

// ---- SoundHistory -----------------------------------------------------------

bool SoundHistory::Record(std::string label, const SoundData& before, const SoundData& after) {
  StepData step{std::move(label), {}};
  for (std::size_t o = 0; o < kSoundSize; ++o)
    if (before[o] != after[o]) step.changes.push_back({static_cast<std::uint16_t>(o), before[o], after[o]});
  if (step.changes.empty()) return false;
  step.changes.shrink_to_fit();
  redo_.clear();
  undo_.push_back(std::move(step));
  while (undo_.size() > maxSteps_ && undo_.size() > 1) undo_.pop_front();
  return true;
}

bool SoundHistory::Undo(SoundData& sound) {
  if (undo_.empty()) return false;
  for (const Change& c : undo_.back().changes) sound[c.offset] = c.before;
  redo_.push_back(std::move(undo_.back()));
  undo_.pop_back();
  return true;
}

bool SoundHistory::Redo(SoundData& sound) {
  if (redo_.empty()) return false;
  for (const Change& c : redo_.back().changes) sound[c.offset] = c.after;
  undo_.push_back(std::move(redo_.back()));
  redo_.pop_back();
  return true;
}

}  // namespace tarvix
