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
  EXPECT_EQ(rejected, 4);

  // A dropped single reply is asked for again before the dialog's tick.
  vi.InjectFault(9, {F::Drop, 0, 0, true});
  blofeld.Sound(9) = MakeDefaultInitSound();
  d.ReadCurrentSound(9);
  ASSERT_TRUE(RunUntilClosed(5000));
  EXPECT_EQ(blofeld.Sound(9), AsStored(vi, 9));
  // An instrument that never answers for one slot: asked three more times,
  // then the bank read waits until the user closes.
  vi.InjectFault(130, {F::Drop, 0, 0, false});
  d.ReadBank(1);
  EXPECT_FALSE(RunUntilClosed(2500));
  d.DialogCloseClicked();
  int resends = 0;
  for (const auto& l : log.lines) resends += l.rfind("No reply for B003 within", 0) == 0;
  EXPECT_EQ(resends, ReceiveDispatcher::kMaxResends);
  EXPECT_FALSE(blofeld.Changed(129));
  EXPECT_TRUE(blofeld.Changed(130));
  EXPECT_TRUE(blofeld.Changed(131));
}

}  // namespace
}  // namespace tarvix
