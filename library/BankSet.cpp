#include "library/BankSet.h"

namespace tarvix {

void BankSet::ClearAllChanged() {
  for (auto& s : slots_) s.changed = false;
}

std::string GetSoundName(const BankSet& set, int index) {
  if (index < 0 || index >= kSlotCount) return {};
  return GetSoundName(set.Sound(index));
}

void SetSoundName(BankSet& set, int index, std::string_view name) { SetSoundName(set.Sound(index), name); }

std::uint8_t GetCategory(const BankSet& set, int index) { return GetCategory(set.Sound(index)); }

void SetCategory(BankSet& set, int index, std::uint8_t category) { SetCategory(set.Sound(index), category); }

std::uint8_t ComputeChecksum(BankSet& blofeld, int index, std::uint8_t deviceId) {
  SoundData& s = blofeld.Sound(index);
  s[offs::kDeviceId] = deviceId;
  s[offs::kBank] = static_cast<std::uint8_t>(index / kProgramsPerBank);
  s[offs::kProgram] = static_cast<std::uint8_t>(index % kProgramsPerBank);
  return ChecksumOf(s);
}

void RefreshChecksums(BankSet& blofeld, std::uint8_t deviceId) {
  for (int i = 0; i < kSlotCount; ++i) blofeld.Sound(i)[offs::kChecksum] = ComputeChecksum(blofeld, i, deviceId);
}

}  // namespace tarvix
