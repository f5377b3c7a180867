// MIDI files (standard, RIFF-wrapped, headerless or garbage) converted to a
// SysEx sound file. Damage is reported in the result, never thrown, and the
// output holds only whole sound dumps with the "do not check" checksum.
#include <sstream>
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "library/SoundData.h"
#include "midi/MidiToSysex.h"

using namespace tarvix;

TARVIX_FUZZ_TARGET(midifile) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::vector<std::uint8_t> out;
  // A small message limit makes the too-long path reachable with small inputs.
  const std::size_t limit = size > 0 && (data[0] & 1) ? 1024 : SysexAssembler::kDefaultMaxMessage;
  const MidiToSysexResult r =
      MidiToSysex(in, [&](std::span<const std::uint8_t> b) { out.insert(out.end(), b.begin(), b.end()); }, limit);
  if (out.size() != r.messages * kSoundSize) fuzz::FuzzFail("output size against the dumps counted");
  for (std::size_t k = 0; k < r.messages; ++k) {
    const std::span<const std::uint8_t> dump(out.data() + k * kSoundSize, kSoundSize);
    if (!IsSoundDumpMessage(dump)) fuzz::FuzzFail("output holds something other than a sound dump");
    if (dump[offs::kChecksum] != 0x7F) fuzz::FuzzFail("checksum byte not 7F");
  }
  return 0;
}
