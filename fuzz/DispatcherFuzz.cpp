// Arbitrary bytes from the instrument's port during a bank read, through the
// MIDI assembler into the receive dispatcher. No slot may end up holding a
// message that failed the sound-dump checks.
#include <algorithm>
#include <vector>

#include "fuzz/FuzzTarget.h"
#include "library/BankSet.h"
#include "library/Log.h"
#include "midi/ManualScheduler.h"
#include "midi/MidiAssembler.h"
#include "midi/ReceiveDispatcher.h"
#include "midi/SysExMessages.h"
#include "tests/midi/MidiFakes.h"

using namespace tarvix;

TARVIX_FUZZ_TARGET(dispatcher) {
  if (size < 2) return 0;
  ManualScheduler clock;
  test::ScriptedLink link{clock};
  link.silent = true;  // every reply comes from the fuzzed bytes
  test::FakeReceiverUi ui;
  MemoryLog log;
  BankSet blofeld;
  blofeld.CurrentIndex = data[1] % kSlotCount;  // where an edit-buffer dump goes
  ReceiveDispatcher d{blofeld, link, clock, ui, log};
  link.handler = &d;
  const BankSet before = blofeld;
  d.ReadBank(data[1] % kBankCount);

  MidiAssembler assembler([&](std::span<const std::uint8_t> m) {
    if (m.empty()) return;
    if (m[0] == 0xF0) {
      d.OnLongData(m);
    } else {
      d.OnShortMessage(m[0], m.size() > 1 ? m[1] : 0, m.size() > 2 ? m[2] : 0);
    }
  });
  // The first byte sets the chunk size the port hands over, and how much
  // time passes between chunks (timeouts and resends happen meanwhile).
  const std::size_t chunk = 1 + data[0] % 64;
  const int pauseMs = (data[0] >> 6) * 150;
  for (std::size_t at = 2; at < size; at += chunk) {
    assembler.Feed({data + at, std::min(chunk, size - at)});
    clock.Advance(pauseMs);
  }
  clock.Advance(10000);

  for (int slot = 0; slot < kSlotCount; ++slot) {
    const SoundData& s = blofeld.Sound(slot);
    if (s.bytes == before.Sound(slot).bytes) continue;
    if (*SoundDumpDefect(s.bytes)) fuzz::FuzzFail("a slot holds a message that failed its checks");
  }
  return 0;
}
