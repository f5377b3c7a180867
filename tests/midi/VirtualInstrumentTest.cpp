// The whole link in one process: dispatcher -> port layer -> the built-in
// instrument on its own thread -> back through the interface-thread hand-over.
#include <gtest/gtest.h>

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
    svc.SetTrace([this](bool out, std::span<const std::uint8_t> b) {
      std::lock_guard lock(traceMutex);
      (out ? sent : received).emplace_back(b.begin(), b.end());
    });
    d.MidiDelayMs = 0;
    for (int i = 0; i < kSlotCount; ++i) {
      blofeld.Sound(i) = MakeDefaultInitSound();
      blofeld.SetChanged(i, true);
    }
    tick = [this] {
      d.DialogTick();
      loop.runAfter(receiver_text::kTickMs, tick);
    };
    loop.runAfter(receiver_text::kTickMs, tick);
  }
  bool RunUntilClosed(int timeoutMs) {
    return loop.RunUntil([this] { return !ui.modal; }, timeoutMs);
  }
  std::size_t SentCount() {
    std::lock_guard lock(traceMutex);
    return sent.size();
  }

  VirtualInstrument vi;
  EventLoop loop;
  MemoryLog log;
  MidiService svc{nullptr, vi, loop, log};
  test::FakeReceiverUi ui;
  BankSet blofeld;
  ReceiveDispatcher d{blofeld, svc, loop, ui, log};
  std::function<void()> tick;
  std::mutex traceMutex;
  std::vector<Bytes> sent, received;
};

SoundData AsStored(const VirtualInstrument& vi, int slot) {
  // What a reply carries: the slot's sound with the request's device id and
  // its own bank, program and checksum.
  SoundData s = vi.Sound(slot);
  s[offs::kDeviceId] = 0;
  s[offs::kBank] = static_cast<std::uint8_t>(slot / 128);
  s[offs::kProgram] = static_cast<std::uint8_t>(slot % 128);
  s[offs::kChecksum] = ChecksumOf(s);
  return s;
}

TEST_F(InProcess, ReadBankAndReadAllGiveExactlyTheInstrumentsSounds) {
  d.ReadBank(2);
  ASSERT_TRUE(RunUntilClosed(20000));
  for (int i = 0; i < kSlotCount; ++i) {
    if (i / 128 == 2) {
      ASSERT_EQ(blofeld.Sound(i), AsStored(vi, i)) << i;
      ASSERT_FALSE(blofeld.Changed(i));
    } else {
      ASSERT_TRUE(blofeld.Changed(i));
    }
  }
  EXPECT_EQ(GetSoundName(blofeld, 256).substr(0, 5), GetSoundName(vi.Sound(256)).substr(0, 5));

  d.ReadAll();
  ASSERT_TRUE(RunUntilClosed(60000));
  for (int i = 0; i < kSlotCount; ++i) ASSERT_EQ(blofeld.Sound(i), AsStored(vi, i)) << i;
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
  for (int i : {0, 200, 1023}) {
    EXPECT_EQ(vi.Sound(i), blofeld.Sound(i));
    EXPECT_EQ(TrimmedSoundName(vi.Sound(i)), "Sent " + std::to_string(i));
    EXPECT_FALSE(blofeld.Changed(i));
  }
  EXPECT_EQ(vi.Sound(1), VirtualInstrument::DemoSound(1));
}

TEST_F(InProcess, EditBufferFollowsDumpsParametersAndProgramChanges) {
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

  const std::size_t before = SentCount();
  d.Panic();
  EXPECT_EQ(SentCount() - before, 48u);
}

TEST_F(InProcess, GlobalsAndMultiModeRoundTrip) {
  d.RequestGlobals();
  ASSERT_TRUE(RunUntilClosed(5000));
  EXPECT_FALSE(d.Globals.MultiMode());
  d.SetMultiMode(true);
  ASSERT_TRUE(vi.WaitIdle(1000));
  EXPECT_TRUE(vi.Global().MultiMode());
  EXPECT_EQ(vi.Global().bytes[78], vi.Global().ComputeChecksum());
}

TEST_F(InProcess, InjectedFaultsNeverCorruptAStoredSlot) {
  using F = VirtualInstrument::FaultKind;
  vi.InjectFault(3, {F::Truncate, 0, 50, true});
  vi.InjectFault(4, {F::Corrupt, 0, 0, true});
  vi.InjectFault(5, {F::Corrupt, 0, 0, false});  // every time
  vi.InjectFault(6, {F::Delay, 300, 0, true});
  d.ReadBank(0);
  ASSERT_TRUE(RunUntilClosed(20000));
  EXPECT_EQ(blofeld.Sound(3), AsStored(vi, 3));  // the retry healed it
  EXPECT_EQ(blofeld.Sound(4), AsStored(vi, 4));
  EXPECT_EQ(blofeld.Sound(5), MakeDefaultInitSound());  // never stored damaged
  EXPECT_TRUE(blofeld.Changed(5));
  EXPECT_EQ(blofeld.Sound(6), AsStored(vi, 6));  // late but within the read
  EXPECT_EQ(blofeld.Sound(127), AsStored(vi, 127));
  int rejected = 0;
  for (const auto& l : log.lines) rejected += l.rfind("Rejected reply to the request for A00", 0) == 0;
  EXPECT_EQ(rejected, 10);  // A004 and A005 once; A006 asked twice in each of four rounds
  EXPECT_EQ(d.Missing, std::vector<int>{5});

  // A dropped single reply is asked for again before the dialog's tick.
  vi.InjectFault(9, {F::Drop, 0, 0, true});
  blofeld.Sound(9) = MakeDefaultInitSound();
  d.ReadCurrentSound(9);
  ASSERT_TRUE(RunUntilClosed(5000));
  EXPECT_EQ(blofeld.Sound(9), AsStored(vi, 9));
  // An instrument that never answers for one slot: the read ends by itself
  // and names it.
  vi.InjectFault(130, {F::Drop, 0, 0, false});
  d.ReadBank(1);
  ASSERT_TRUE(RunUntilClosed(20000));
  int resends = 0;
  for (const auto& l : log.lines) resends += l.rfind("No reply for B003 within", 0) == 0;
  EXPECT_EQ(resends, ReceiveDispatcher::kMaxResends * (1 + ReceiveDispatcher::kExtraRounds));
  EXPECT_EQ(d.Missing, std::vector<int>{130});
  EXPECT_FALSE(blofeld.Changed(129));
  EXPECT_TRUE(blofeld.Changed(130));
  EXPECT_FALSE(blofeld.Changed(131));
}

}  // namespace
}  // namespace tarvix

namespace tarvix {
namespace {

TEST_F(InProcess, NoisyLinksEndExactAndCompleteOrNameExactlyTheMissingSlots) {
  using F = VirtualInstrument::FaultKind;
  struct Row {
    const char* name;
    std::vector<std::pair<int, VirtualInstrument::Fault>> faults;
    std::vector<int> missing;
  };
  auto once = [](F kind) { return VirtualInstrument::Fault{kind, 0, 100, true}; };
  auto always = [](F kind) { return VirtualInstrument::Fault{kind, 0, 100, false}; };
  std::vector<std::pair<int, VirtualInstrument::Fault>> everyKindOnce, fifthLost;
  const F kinds[] = {F::Drop,   F::Truncate, F::Corrupt,    F::CorruptAs7F, F::Junk,      F::Split, F::CutOff,
                     F::Interleave, F::WrongSlot, F::EditBuffer, F::Duplicate, F::Flood};
  for (int k = 0; k < static_cast<int>(std::size(kinds)); ++k) everyKindOnce.push_back({5 + 9 * k, once(kinds[k])});
  for (int slot = 1; slot < 128; slot += 5) fifthLost.push_back({slot, once(F::Drop)});
  const std::vector<Row> rows = {
      {"every kind of fault once", everyKindOnce, {}},
      {"a fifth of the replies lost once", fifthLost, {}},
      {"split and duplicated every time", {{3, always(F::Split)}, {4, always(F::Duplicate)}, {5, always(F::Junk)}}, {}},
      {"lost every time", {{40, always(F::Drop)}, {41, always(F::Drop)}}, {40, 41}},
      // A cut-off copy is followed by the whole reply: that one is stored.
      {"damaged every time", {{50, always(F::Corrupt)}, {51, always(F::Truncate)}, {52, always(F::CutOff)}}, {50, 51}},
      // Once the instrument has shown that it computes checksums, 7F in
      // place of the sum no longer passes damage.
      {"damaged under 7F every time", {{60, always(F::CorruptAs7F)}}, {60}},
      {"answered with the next slot every time", {{70, always(F::WrongSlot)}}, {70}},
      {"edit buffer and flood every time", {{80, always(F::EditBuffer)}, {81, always(F::Flood)}}, {}},
  };
  blofeld.CurrentIndex = 500;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    vi.ClearFaults();
    for (const auto& [slot, fault] : row.faults) vi.InjectFault(slot, fault);
    for (int i = 0; i < kSlotCount; ++i) {
      blofeld.Sound(i) = MakeDefaultInitSound();
      blofeld.SetChanged(i, true);
    }
    d.ReadBank(0);
    ASSERT_TRUE(RunUntilClosed(60000));
    EXPECT_EQ(d.Missing, row.missing);
    for (int i = 0; i < 128; ++i) {
      const bool missing = std::find(row.missing.begin(), row.missing.end(), i) != row.missing.end();
      ASSERT_EQ(blofeld.Sound(i), missing ? MakeDefaultInitSound() : AsStored(vi, i)) << i;
      ASSERT_EQ(blofeld.Changed(i), missing) << i;
    }
    for (int i = 128; i < kSlotCount; ++i) ASSERT_TRUE(blofeld.Changed(i)) << i;  // nothing stored outside bank A
    ASSERT_TRUE(vi.WaitIdle(5000));
  }
}

}  // namespace
}  // namespace tarvix
