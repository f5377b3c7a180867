// Writes the shipped init sound. Run after changing MakeDefaultInitSound():
//   ./build/tarvix-make-initsound resources/_initsound.syx
#include <cstdio>

#include "library/AtomicFile.h"
#include "library/InitSound.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.syx\n", argv[0]);
    return 1;
  }
  const tarvix::SoundData s = tarvix::MakeDefaultInitSound();
  tarvix::WriteFileAtomically(argv[1], std::span<const std::uint8_t>(s.bytes));
  return 0;
}
