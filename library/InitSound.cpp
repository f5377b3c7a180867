#include "library/InitSound.h"

#include <unistd.h>

#include <fstream>
#include <system_error>

#include "library/AtomicFile.h"

namespace tarvix {

const SoundData& InitSoundStore::Read(Log& log) {
  std::ifstream in;
  try {
    in = OpenFileForReading(file_);
  } catch (const std::exception& e) {
    log.LogMessage(e.what());
    return buffer_;
  }
  SoundData s;
  in.read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(kSoundSize));
  if (in.gcount() != static_cast<std::streamsize>(kSoundSize)) {
    log.LogMessage(file_.string() + ": the file holds fewer than 392 bytes");
    return buffer_;
  }
  buffer_ = s;
  return buffer_;
}

void FillWithInitSound(BankSet& set, InitSoundStore& init, Log& log) {
  const SoundData s = init.Read(log);
  for (int i = 0; i < kSlotCount; ++i) {
    set.Sound(i) = s;
    set.SetChanged(i, false);
  }
}

SoundData MakeDefaultInitSound() {
  SoundData s{};
  auto set = [&s](std::size_t offset, int value) { s[offset] = static_cast<std::uint8_t>(value); };
  // Header addressed to the edit buffer, device 0.
  for (auto [o, v] : {std::pair{0, 0xF0}, {1, 0x3E}, {2, 0x13}, {3, 0x00}, {4, 0x10}, {5, 0x7F}, {6, 0x00}}) set(o, v);

  for (int n = 0; n < 3; ++n) {  // oscillators: 8' pitch, no modulation
    const std::size_t b = 8 + 16 * n;
    set(b + 0, 64);                // octave 8'
    set(b + 1, 64);                // semitone 0
    set(b + 2, 64);                // detune 0
    set(b + 3, 64);                // bend range 0
    set(b + 4, 96);                // keytrack 100 %
    set(b + 7, n == 0 ? 2 : 0);    // osc 1 saw, the others off
    set(b + 10, 64);               // PWM amount 0
    set(68 + 2 * n, n == 0 ? 127 : 0);  // level
    set(69 + 2 * n, 64);           // balance middle
  }
  set(58, 64);  // pitch mod amount 0
  set(75, 64);  // noise balance
  set(76, 64);  // noise colour
  set(79, 64);  // ring mod balance

  for (int f = 0; f < 2; ++f) {  // filters: filter 1 an open low-pass, filter 2 bypassed
    const std::size_t b = 84 + 20 * f;
    set(b + 0, f == 0 ? 1 : 0);  // type
    set(b + 1, 127);             // cutoff open
    set(b + 9, 64);              // keytrack 0 %
    set(b + 10, 64);             // envelope amount 0
    set(b + 11, 64);             // envelope velocity 0
    set(b + 13, 64);             // mod amount 0
    set(b + 16, 64);             // pan middle
    set(b + 18, 64);             // pan amount 0
  }
  set(128, 127);  // amplifier volume
  set(129, 64);   // velocity 0
  set(131, 64);   // amp mod amount 0
  set(162, 64);   // effect 2 parameter 10, centred

  for (int l = 0; l < 3; ++l) {  // LFOs: sine, medium speed
    const std::size_t b = 167 + 12 * l;
    set(b + 1, 64);   // speed
    set(b + 7, 64);   // fade 0
    set(b + 10, 64);  // keytrack
  }
  for (int e = 0; e < 4; ++e) {  // envelopes: organ shape, full sustain
    const std::size_t b = 203 + 12 * e;
    set(b + 4, 127);  // attack level
    set(b + 6, 127);  // sustain
    set(b + 8, 127);  // sustain 2
  }
  for (int m = 0; m < 4; ++m) set(255 + 4 * m, 64);   // modifier constants 0
  for (int k = 0; k < 16; ++k) set(270 + 3 * k, 64);  // matrix amounts 0
  set(321, 5);    // arp clock 1/16
  set(322, 5);    // arp length 1/16
  set(330, 15);   // pattern length 16
  set(333, 55);   // tempo 120 bpm
  for (int k = 0; k < 16; ++k) {
    set(334 + k, 4);   // step normal, accent *1
    set(350 + k, 68);  // timing 0, length 0
  }
  SetSoundName(s, "Init");
  SetCategory(s, 0);
  s[offs::kChecksum] = ChecksumOf(s);
  s[offs::kEnd] = 0xF7;
  return s;
}

std::filesystem::path ProgramDirectory() {
  std::error_code ec;
  auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path();
  return exe.parent_path();
}

}  // namespace tarvix
