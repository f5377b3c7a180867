#include "tools/CopySounds.h"

#include "library/Settings.h"

namespace tarvix {

int CopySoundsRun(BankSet& blofeld, int source, int firstDestination, int count,
                  const std::function<void(int)>& slotWritten) {
  if (source < 0 || source >= kSlotCount || firstDestination < 0 || firstDestination >= kSlotCount)
    throw std::out_of_range("Copy Sounds: slot index out of range");
  if (count < 1) return 0;
  // Copied once: a source inside the run is overwritten with itself, and
  // every destination still gets the source's original bytes.
  const SoundData sound = blofeld.Sound(source);
  int written = 0;
  for (int i = 0; i < count; ++i) {
    const int d = firstDestination + i;
    if (d >= kSlotCount)
      throw CopyRunPastEnd("Copy Sounds: the run of " + std::to_string(count) + " sounds from " +
                           SlotLabel(firstDestination) + " passes H128; stopped after " + std::to_string(written) +
                           " sounds");
    blofeld.Sound(d) = sound;
    blofeld.SetChanged(d);
    ++written;
    if (slotWritten) slotWritten(d);
  }
  return written;
}

std::string NormalizeCount(std::string_view text) {
  const auto n = ParseWholeNumber(text);
  if (!n) return "1";
  if (*n > kMaxCopyCount) return std::to_string(kMaxCopyCount);
  return std::string(text);
}

int CountOf(std::string_view text) {
  const auto n = ParseWholeNumber(NormalizeCount(text));
  return (n && *n >= 0) ? static_cast<int>(*n) : 0;
}

}  // namespace tarvix
