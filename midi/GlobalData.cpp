#include "midi/GlobalData.h"

#include "library/SoundData.h"

namespace tarvix {

void GlobalData::SetPartSound(int part, int flatIndex) {
  if (part < 0 || part >= kPartCount || flatIndex < 0 || flatIndex >= kSlotCount) return;
  bytes[PartBankOffset(part)] = static_cast<std::uint8_t>(flatIndex / kProgramsPerBank);
  bytes[PartProgramOffset(part)] = static_cast<std::uint8_t>(flatIndex % kProgramsPerBank);
}

std::uint8_t GlobalData::ComputeChecksum() const {
  unsigned sum = 0;
  for (std::size_t i = 5; i <= 77; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(sum & 0x7Fu);
}

}  // namespace tarvix
