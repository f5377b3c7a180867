// The whole link in one process: dispatcher -> port layer -> the built-in instrument on its own thread -> back through
// the interface-thread hand-over.
#include <gtest/gtest.h>

#include <atomic>

#include "library/InitSound.h"
#include "midi/EventLoop.h"
#include "midi/ReceiveDispatcher.h"
#include "tests/midi/MidiFakes.h"

namespace tarvix {
namespace {

using test::Bytes;

class InProcess : public ::testing::Test {
 protected:
  InProcess() {
    vi.SetLatencyMs(0);
    svc.EnumerateDevices();
    EXPECT_TRUE(svc.OpenOutput());
    EXPECT_TRUE(svc.OpenInputs().empty());
    svc.SetInstrumentHandler(&d);
    svc.SetTrace([this](bool out, std::span<const std::uint8_t>) { sent += out; });
    d.MidiDelayMs = 0;
    ResetSlots();
    tick = [this] {
      d.DialogTick();
      loop.runAfter(receiver_text::kTickMs, tick);
    };
    loop.runAfter(receiver_text::kTickMs, tick);
  }
  void ResetSlots() {
    for (int i = 0; i < kSlotCount; ++i) {
      blofeld.Sound(i) = MakeDefaultInitSound();
      blofeld.SetChanged(i, true);
    }
  }
  bool RunUntilClosed(int timeoutMs) {
    return loop.RunUntil([this] { return !ui.modal; }, timeoutMs);
  }
  // What a reply carries: the slot's sound with the request's device id and its own bank, program and checksum.
  SoundData AsStored(int slot) {
    SoundData s = vi.Sound(slot);
    s[offs::kDeviceId] = 0;
    s[offs::kBank] = static_cast<std::uint8_t>(slot / 128);
    s[offs::kProgram] = static_cast<std::uint8_t>(slot % 128);
    s[offs::kChecksum] = ChecksumOf(s);
    return s;
  }

  VirtualInstrument vi;
  EventLoop loop;
  MemoryLog log;
  MidiService svc{nullptr, vi, loop, log};
  test::FakeReceiverUi ui;
  BankSet blofeld;
  ReceiveDispatcher d{blofeld, svc, loop, ui, log};
  std::function<void()> tick;
  std::atomic<int> sent{0};
};

TEST_F(InProcess, ReadBankAndReadAllGiveExactlyTheInstrumentsSounds) {
  d.ReadBank(2);
  ASSERT_TRUE(RunUntilClosed(20000));
  for (int i = 0; i < kSlotCount; ++i) {
    ASSERT_EQ(blofeld.Changed(i), i / 128 != 2) << i;
    if (i / 128 == 2) ASSERT_EQ(blofeld.Sound(i), AsStored(i)) << i;
  }
  d.ReadAll();
  ASSERT_TRUE(RunUntilClosed(60000));
  for (int i = 0; i < kSlotCount; ++i) ASSERT_EQ(blofeld.Sound(i), AsStored(i)) << i;
  EXPECT_EQ(vi.RequestsReceived(), 128 + 1024);
}

TEST_F(InProcess, SendingSelectedSoundsLeavesTheInstrumentHoldingThem) {
  for (int i : {0, 200, 1023}) {
    SetSoundName(blofeld, i, "Sent " + std::to_string(i));
    blofeld.Select(i);
  }
  bool done = false;
  d.SendSelectedSounds([&] { done = true; });
  ASSERT_TRUE(loop.RunUntil([&] { return done; }, 10000));
  ASSERT_TRUE(vi.WaitIdle(1000));
  for (int i : {0, 200, 1023}) EXPECT_EQ(vi.Sound(i), blofeld.Sound(i)) << i;
  EXPECT_EQ(vi.Sound(1), VirtualInstrument::DemoSound(1));
}

TEST_F(InProcess, EditBufferAndGlobalsFollowWhatIsSent) {
  d.SelectProgram(blofeld, 5, true, 0);  // audition through the edit buffer
  ParameterChange(svc, 0, 85 - 7, 33);   // filter 1 cutoff
  SoundData expected = EditBufferDump(blofeld.Sound(5));
  expected[85] = 33;
  EXPECT_EQ(vi.EditBuffer(), expected);

  d.SelectProgram(blofeld, 130, false, 0);  // bank select B, program 3
  SoundData loaded = vi.Sound(130);
  loaded[offs::kBank] = 0x7F;
  loaded[offs::kProgram] = 0;
  EXPECT_EQ(vi.EditBuffer(), loaded);

  d.FetchEditBuffer(RequestKind::EditorSound);
  ASSERT_TRUE(RunUntilClosed(5000));
  EXPECT_EQ(d.TakeCurrentSoundStatus(), 1);
  EXPECT_EQ(TrimmedSoundName(d.CurrentSound), TrimmedSoundName(vi.Sound(130)));

  const int before = sent;
  d.Panic();
  EXPECT_EQ(sent - before, 48);

  d.RequestGlobals();
  ASSERT_TRUE(RunUntilClosed(5000));
  EXPECT_FALSE(d.Globals.MultiMode());
  d.SetMultiMode(true);
  ASSERT_TRUE(vi.WaitIdle(1000));
  EXPECT_TRUE(vi.Global().MultiMode());
}

TEST_F(InProcess, NoisyLinksEndExactAndCompleteOrNameExactlyTheMissingSlots) {
  using F = VirtualInstrument::FaultKind;
  using Faults = std::vector<std::pair<int, VirtualInstrument::Fault>>;
  struct Row {
    const char* name;
    Faults faults;
    std::vector<int> missing;
    std::vector<std::string> logged;  // beginnings of lines the log must hold
  };
  auto once = [](F kind) { return VirtualInstrument::Fault{kind, 0, 100, true}; };
  auto always = [](F kind) { return VirtualInstrument::Fault{kind, 0, 100, false}; };
  Faults everyKindOnce, fifthLost;
  const F kinds[] = {F::Drop,       F::Truncate,  F::Corrupt,   F::CorruptAs7F, F::Junk,  F::Split, F::CutOff,
                     F::Interleave, F::WrongSlot, F::EditBuffer, F::Duplicate, F::Flood, F::Delay};
  for (int k = 0; k < static_cast<int>(std::size(kinds)); ++k) everyKindOnce.push_back({5 + 9 * k, once(kinds[k])});
  everyKindOnce.back().second.delayMs = 300;  // late, but within the read
  for (int slot = 1; slot < 128; slot += 5) fifthLost.push_back({slot, once(F::Drop)});
  const std::vector<Row> rows = {
      {"every kind of fault once", everyKindOnce, {}, {"Ignored an edit buffer dump that was not asked for"}},
      {"a fifth of the replies lost once", fifthLost, {}, {"No reply for A002 within"}},
      {"split and duplicated every time", {{3, always(F::Split)}, {4, always(F::Duplicate)}, {5, always(F::Junk)}}, {}, {}},
      {"lost every time", {{40, always(F::Drop)}, {41, always(F::Drop)}}, {40, 41}, {"Asking again for 2 sound(s)"}},
      // A cut-off copy is followed by the whole reply: that one is stored.
      {"damaged every time",
       {{50, always(F::Corrupt)}, {51, always(F::Truncate)}, {52, always(F::CutOff)}},
       {50, 51},
       {"Missing 2 of 128 sound(s): A051, A052", "Rejected reply to the request for A051: checksum mismatch (392 bytes)",
        "Rejected reply to the request for A052: wrong length (101 bytes)"}},
      // Once the instrument has shown that it computes checksums, 7F in place of the sum no longer passes damage.
      {"damaged under 7F every time", {{60, always(F::CorruptAs7F)}}, {60}, {}},
      // The last slot answered with the first of bank B: not part of this read.
      {"answered with the next slot every time",
       {{70, always(F::WrongSlot)}, {127, always(F::WrongSlot)}},
       {70, 127},
       {"Ignored a dump of B001: not asked for in this read"}},
      {"edit buffer and flood every time", {{80, always(F::EditBuffer)}, {81, always(F::Flood)}}, {}, {}},
  };
  blofeld.CurrentIndex = 500;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    vi.ClearFaults();
    for (const auto& [slot, fault] : row.faults) vi.InjectFault(slot, fault);
    ResetSlots();
    log.lines.clear();
    d.ReadBank(0);
    ASSERT_TRUE(RunUntilClosed(60000));
    EXPECT_EQ(d.Missing, row.missing);
    for (int i = 0; i < 128; ++i) {
      const bool missing = std::find(row.missing.begin(), row.missing.end(), i) != row.missing.end();
      ASSERT_EQ(blofeld.Sound(i), missing ? MakeDefaultInitSound() : AsStored(i)) << i;
      ASSERT_EQ(blofeld.Changed(i), missing) << i;
    }
    for (int i = 128; i < kSlotCount; ++i) ASSERT_TRUE(blofeld.Changed(i)) << i;  // nothing stored outside bank A
    for (const std::string& line : row.logged)
      EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(), [&](auto& l) { return l.rfind(line, 0) == 0; }))
          << line;
    ASSERT_TRUE(vi.WaitIdle(5000));
  }
}

}  // namespace
}  // namespace tarvix
