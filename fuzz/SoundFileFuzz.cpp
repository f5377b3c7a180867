// SysEx sound files of any content, loaded at a position and at the records'
// own positions. Loading stores every whole record and nothing else; a stored
// record keeps its bytes apart from the category (clamped) and the checksum
// byte (7F).
#include <stdexcept>

#include "fuzz/FuzzTarget.h"
#include "library/BankSet.h"
#include "library/SoundFile.h"

using namespace tarvix;

namespace {

bool SameApartFromLoadFixes(const SoundData& stored, const std::uint8_t* record) {
  for (std::size_t i = 0; i < kSoundSize; ++i) {
    if (i == offs::kChecksum) {
      if (stored[i] != 0x7F) return false;
    } else if (i == offs::kCategory) {
      const std::uint8_t want = record[i] < kCategoryCount ? record[i] : 0;
      if (stored[i] != want) return false;
    } else if (stored[i] != record[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

TARVIX_FUZZ_TARGET(soundfile) {
  if (size < 2) return 0;
  // The first two bytes choose the start slot; the rest is the file.
  const int start = ((data[0] << 8) | data[1]) % kSlotCount;
  const std::uint8_t* file = data + 2;
  const std::size_t fileSize = size - 2;
  const auto path = fuzz::WorkDir() / "sounds.syx";
  fuzz::WriteBytes(path, {file, fileSize});
  const std::size_t records = fileSize / kSoundSize;
  if (static_cast<std::size_t>(CountSoundsInFile(path)) != records) fuzz::FuzzFail("record count");

  BankSet atPosition;
  const LoadResult r = LoadSoundFile(atPosition, path, start);
  if (static_cast<std::size_t>(r.stored) != records) fuzz::FuzzFail("records stored at a position");
  // The last 1024 records are the ones left in the set after wrapping.
  for (std::size_t k = records > kSlotCount ? records - kSlotCount : 0; k < records; ++k) {
    const int slot = static_cast<int>((start + k) % kSlotCount);
    if (!SameApartFromLoadFixes(atPosition.Sound(slot), file + k * kSoundSize)) fuzz::FuzzFail("record at a position");
    if (atPosition.Changed(slot)) fuzz::FuzzFail("loaded slot marked changed");
  }

  BankSet own;
  std::size_t stored = 0;
  try {
    stored = static_cast<std::size_t>(LoadSoundFile(own, path, kOwnPositions).stored);
  } catch (const std::runtime_error&) {
    // A record naming no slot stops the read; the ones before it stay.
    stored = records;
    for (std::size_t k = 0; k < records; ++k) {
      const std::uint8_t* rec = file + k * kSoundSize;
      if (rec[offs::kBank] >= kBankCount || rec[offs::kProgram] >= kProgramsPerBank) {
        stored = k;
        break;
      }
    }
    if (stored == records) fuzz::FuzzFail("own positions refused a file whose records all name slots");
  }
  // Every record before the stop sits in its own slot, unless a later record
  // named the same slot.
  for (std::size_t k = 0; k < stored; ++k) {
    const std::uint8_t* rec = file + k * kSoundSize;
    const int slot = rec[offs::kBank] * kProgramsPerBank + rec[offs::kProgram];
    bool overwritten = false;
    for (std::size_t later = k + 1; later < stored && !overwritten; ++later) {
      const std::uint8_t* l = file + later * kSoundSize;
      overwritten = l[offs::kBank] * kProgramsPerBank + l[offs::kProgram] == slot;
    }
    if (!overwritten && !SameApartFromLoadFixes(own.Sound(slot), rec)) fuzz::FuzzFail("record at its own position");
  }
  return 0;
}
