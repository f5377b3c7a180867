#include "tools/ParameterLocker.h"

#include <algorithm>
#include <utility>

#include "editor/ControlState.h"
#include "tools/SingleSoundFile.h"

namespace tarvix {

ParameterLocker::ParameterLocker(const BankSet& blofeld, const SoundData& start, ParameterSendFn send)
    : WorkSound(start), UndoSound(start), blofeld_(blofeld), send_(std::move(send)) {}

void ParameterLocker::SelectBank(int bank) {
  SelBank = std::clamp(bank, 1, kBankCount);
  SelectionPending = true;
}

void ParameterLocker::SelectProgram(int program) {
  SelProgram = std::clamp(program, 1, kProgramsPerBank);
  SelectionPending = true;
}

void ParameterLocker::NextSound() {
  if (++SelProgram > kProgramsPerBank) {
    SelProgram = 1;
    if (++SelBank > kBankCount) SelBank = 1;
  }
  SelectionPending = true;
}

void ParameterLocker::PrevSound() {
  if (--SelProgram < 1) {
    SelProgram = kProgramsPerBank;
    if (--SelBank < 1) SelBank = kBankCount;
  }
  SelectionPending = true;
}

void ParameterLocker::RandomSound(RandomSource& random) {
  SelProgram = static_cast<int>(random.Random(kProgramsPerBank)) + 1;
  SelBank = static_cast<int>(random.Random(kBankCount)) + 1;
  SelectionPending = true;
}

void ParameterLocker::MergeUnlockedGroups() {
  const SoundData source = blofeld_.Sound(FlatIndex());
  const auto& groups = LockGroups();
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (locked_[g]) continue;
    for (int o : groups[g].offsets) WorkSound[static_cast<std::size_t>(o)] = source[static_cast<std::size_t>(o)];
  }
}

void ParameterLocker::BeginEdit() {
  // Only the first change since the last send takes the snapshot; a second
  // one would otherwise hide the first from the instrument.
  if (!EditPending) UndoSound = WorkSound;
  EditPending = true;
}

void ParameterLocker::Swap(SwapKind kind) {
  const auto& swaps = SwapButtons();
  const auto it = std::find_if(swaps.begin(), swaps.end(), [kind](const SwapButton& b) { return b.kind == kind; });
  if (it == swaps.end()) return;
  BeginEdit();
  for (auto [a, b] : it->pairs) std::swap(WorkSound[static_cast<std::size_t>(a)], WorkSound[static_cast<std::size_t>(b)]);
}

void ParameterLocker::Roll(RollKind kind) {
  const auto& rolls = RollButtons();
  const auto it = std::find_if(rolls.begin(), rolls.end(), [kind](const RollButton& b) { return b.kind == kind; });
  if (it == rolls.end()) return;
  BeginEdit();
  std::array<std::uint8_t, kMatrixSlots> column{};
  for (int k = 1; k <= kMatrixSlots; ++k) column[k - 1] = WorkSound[static_cast<std::size_t>(MatrixOffset(k, it->column))];
  for (int k = 1; k <= kMatrixSlots; ++k) {
    // Up: slot k takes slot k + 1 (16 takes 1); down: k takes k - 1 (1 takes 16).
    const int from = it->up ? k % kMatrixSlots : (k + kMatrixSlots - 2) % kMatrixSlots;
    WorkSound[static_cast<std::size_t>(MatrixOffset(k, it->column))] = column[static_cast<std::size_t>(from)];
  }
}

int ParameterLocker::Timer1Timer() {
  if (!SelectionPending) return -1;
  SelectionPending = false;
  const SoundData before = WorkSound;
  MergeUnlockedGroups();
  return SendChangedParameters(before, WorkSound, send_);
}

int ParameterLocker::Timer2Timer() {
  if (!EditPending) return -1;
  EditPending = false;
  return SendChangedParameters(UndoSound, WorkSound, send_);
}

std::string ParameterLocker::Caption(int label) const {
  const PanelLabel& l = PanelLabels().at(static_cast<std::size_t>(label));
  std::string text(l.heading);
  // The values read as the editor shows them (list entries, captions,
  // signed amounts), not as raw bytes; texts hold blanks, so commas part them.
  auto value = [this](int o) { return ValueTextAt(WorkSound, o); };
  if (l.name == "lblMatrixModulation") {
    // Each slot reads "source, amount, destination)"; the next opens with "(".
    for (int k = 1; k <= kMatrixSlots; ++k) {
      if (k > 1) text += '(';
      text += value(MatrixOffset(k, 0)) + ", " + value(MatrixOffset(k, 2)) + ", " + value(MatrixOffset(k, 1)) + ')';
    }
    return text;
  }
  if (l.name == "lblMatrixModifier") {
    for (int k = 0; k < 4; ++k) {
      if (k > 0) text += '(';
      const int first = kModifierFirst + 4 * k;
      text += value(first) + ", " + value(first + 1) + ", " + value(first + 2) + ", " + value(first + 3) + ')';
    }
    return text;
  }
  for (std::size_t i = 0; i < l.offsets.size(); ++i) {
    if (i > 0) text += ", ";
    text += value(l.offsets[i]);
  }
  return text;
}

bool ParameterLocker::Save(const std::filesystem::path& file, Prompter& prompter) {
  WorkSound[offs::kBank] = 0;
  WorkSound[offs::kProgram] = 0;
  WorkSound[offs::kChecksum] = 127;
  return SaveSingleSound(WorkSound, file, prompter);
}

}  // namespace tarvix
