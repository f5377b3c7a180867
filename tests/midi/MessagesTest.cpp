#include <gtest/gtest.h>

#include "library/InitSound.h"
#include "midi/ChannelMessages.h"
#include "midi/MidiAssembler.h"
#include "midi/PartsTree.h"
#include "midi/RequestStack.h"
#include "midi/SysExMessages.h"
#include "tests/midi/MidiFakes.h"

namespace tarvix {
namespace {

using test::Bytes;

template <class Range>
Bytes B(const Range& r) {
  return Bytes(std::begin(r), std::end(r));
}

TEST(SysExMessages, RequestsAndParameterChangeAreByteExact) {
  EXPECT_EQ(B(SoundRequestMessage(0, 2, 9)), Bytes({0xF0, 0x3E, 0x13, 0x00, 0x00, 0x02, 0x09, 0x7F, 0xF7}));
  EXPECT_EQ(B(GlobalRequestMessage(127)), Bytes({0xF0, 0x3E, 0x13, 0x7F, 0x04, 0xF7}));
  // Offset 300 is parameter 293 = 2 * 128 + 37.
  EXPECT_EQ(B(ParameterChangeMessage(0, 0, 300 - 7, 64)), Bytes({0xF0, 0x3E, 0x13, 0x00, 0x20, 0x00, 0x02, 0x25, 0x40, 0xF7}));
  // The device id reaches every message; a top-bit value never breaks framing.
  EXPECT_EQ(ParameterChangeMessage(5, 0, 382, 0xE9)[3], 5);
  EXPECT_EQ(ParameterChangeMessage(5, 0, 382, 0xE9)[8], 0x69);
  EXPECT_THROW(ParameterChangeMessage(0, 0, 383, 0), std::invalid_argument);
  EXPECT_THROW(ParameterChangeMessage(0, 0, -1, 0), std::invalid_argument);

  test::RecordingOut out;
  EXPECT_FALSE(SoundRequest(out, 0, 0xFF, 3));  // an empty stack pops FF: nothing goes out
  EXPECT_FALSE(SoundRequest(out, 0, 3, 0xFF));
  EXPECT_TRUE(out.sent.empty());
  EXPECT_TRUE(SoundRequest(out, 9, 1, 2));
  EXPECT_EQ(out.sent.back(), Bytes({0xF0, 0x3E, 0x13, 0x09, 0x00, 0x01, 0x02, 0x7F, 0xF7}));
}

TEST(SysExMessages, SoundDumpsToSlotAndEditBuffer) {
  BankSet blofeld;
  SoundData s = MakeDefaultInitSound();
  SetSoundName(s, std::string("Caf\xE9 Pad"));  // a Latin-1 name read from a file
  blofeld.Sound(130) = s;
  RefreshChecksums(blofeld, 3);
  test::RecordingOut out;
  SendSlot(out, blofeld, 130);
  ASSERT_EQ(out.sent.back().size(), 392u);
  const Bytes& slot = out.sent.back();
  EXPECT_EQ(Bytes(slot.begin() + 3, slot.begin() + 7), (Bytes{3, 0x10, 1, 2}));  // device 3, B003
  EXPECT_EQ(slot[373], 0x69);  // masked to seven bits on the wire ...
  EXPECT_EQ(blofeld.Sound(130)[373], 0xE9);  // ... the stored sound is untouched
  EXPECT_TRUE(IsIntactSoundDump(slot)) << SoundDumpDefect(slot);  // and the checksum still holds

  SendSoundToEditBuffer(out, blofeld.Sound(130));
  const Bytes& eb = out.sent.back();
  // The sound's own device byte, the edit buffer's address and no checksum.
  EXPECT_EQ(Bytes(eb.begin() + 3, eb.begin() + 7), (Bytes{3, 0x10, 0x7F, 0x00}));
  EXPECT_EQ(eb[390], 0x7F);
  EXPECT_EQ(blofeld.Sound(130)[5], 1);  // only the copy is readdressed
}

TEST(SysExMessages, IntactDumpCheck) {
  SoundData s = VirtualInstrument::DemoSound(5);
  Bytes b(s.bytes.begin(), s.bytes.end());
  EXPECT_TRUE(IsIntactSoundDump(b));
  b[390] = 0x7F;  // the wildcard checksum is accepted
  EXPECT_TRUE(IsIntactSoundDump(b));
  b[391] = 0;
  EXPECT_STREQ(SoundDumpDefect(b), "no end byte");
}

TEST(ChannelMessages, NotesProgramsAndPanicOrder) {
  test::RecordingOut out;
  NoteOn(out, 2, 60, 0);
  NoteOff(out, 2, 60);
  BankSelect(out, 15, 7);
  ProgramChange(out, 0, 127);
  EXPECT_EQ(out.sent, (std::vector<Bytes>{{0x92, 60, 0}, {0x82, 60, 0}, {0xBF, 0, 7}, {0xC0, 127, 0}}));

  out.sent.clear();
  Panic(out);
  ASSERT_EQ(out.sent.size(), 48u);  // all notes off, all sound off, sustain off on every channel
  for (std::size_t k = 0; k < 48; ++k)
    EXPECT_EQ(out.sent[k], (Bytes{std::uint8_t(0xB0 + k / 3), std::uint8_t(Bytes{0x7B, 0x78, 0x40}[k % 3]), 0})) << k;
}

TEST(RequestStack, EmptyPopsFFAndPushesBeyondTheRoomAreIgnored) {
  RequestStack st;
  EXPECT_EQ(st.Pop(), 0xFF);
  for (int i = 0; i < 5000; ++i) st.Push(static_cast<std::uint8_t>(i & 0x7F));
  EXPECT_EQ(st.Count(), RequestStack::kCapacity);
  EXPECT_EQ(st.Pop(), (4095 & 0x7F));  // pushes beyond the room were ignored
  st.Clear();
  EXPECT_EQ(st.Pop(), 0xFF);
}

TEST(MidiAssembler, JoinsChunksResynchronisesKeepsRealTimeAndDropsOverlongMessages) {
  std::vector<Bytes> got;
  MidiAssembler a([&](std::span<const std::uint8_t> m) { got.emplace_back(m.begin(), m.end()); });
  SoundData s = VirtualInstrument::DemoSound(1);
  // A dump in three pieces with a clock byte in the middle.
  a.Feed(std::span(s.bytes).subspan(0, 100));
  a.Feed(Bytes({0xF8}));
  a.Feed(std::span(s.bytes).subspan(100, 200));
  a.Feed(std::span(s.bytes).subspan(300));
  EXPECT_EQ(got, (std::vector<Bytes>{{0xF8}, B(s.bytes)}));
  // A dump cut off by a note-on: dropped, the note still arrives.
  got.clear();
  a.Feed(Bytes({0xF0, 0x3E, 0x13, 0x00, 0x10, 0x01, 0x90, 0x3C, 0x40}));
  EXPECT_EQ(got, (std::vector<Bytes>{{0x90, 0x3C, 0x40}}));
  EXPECT_EQ(a.Dropped(), 1u);
  // Running status and one-byte messages.
  got.clear();
  a.Feed(Bytes({0x3E, 0x00, 0xC1, 0x05, 0x06}));
  EXPECT_EQ(got, (std::vector<Bytes>{{0x90, 0x3E, 0x00}, {0xC1, 0x05}, {0xC1, 0x06}}));
  // An overlong message is dropped, not kept.
  got.clear();
  a.Feed(Bytes({0xF0}));
  const Bytes junk(64 * 1024, 0x11);
  for (std::size_t n = 0; n <= MidiAssembler::kMaxSysEx / junk.size(); ++n) a.Feed(junk);
  a.Feed(Bytes({0xF7, 0xF0, 0x01, 0xF7}));
  EXPECT_EQ(got, (std::vector<Bytes>{{0xF0, 0x01, 0xF7}}));
  EXPECT_EQ(a.Dropped(), 2u);
}

TEST(PartsTree, EntriesFollowMultiModeAndSlotNames) {
  BankSet blofeld;
  for (int i = 0; i < kSlotCount; ++i) SetSoundName(blofeld, i, "Slot" + std::to_string(i));
  GlobalData g;  // nothing received: all zero, single mode
  auto e = PartsTreeEntries(g, blofeld);
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0], "Part 01  -  A001 Slot0" + std::string(11, ' '));
  g.SetMultiMode(true);
  g.SetPartSound(2, 130);
  g.SetPartSound(15, 1023);
  e = PartsTreeEntries(g, blofeld);
  ASSERT_EQ(e.size(), 16u);
  EXPECT_EQ(e[2].substr(0, 22), "Part 03  -  B003 Slot1");
  EXPECT_EQ(e[15].substr(0, 25), "Part 16  -  H128 Slot1023");
  g.bytes[GlobalData::PartBankOffset(4)] = 0x40;  // damaged data names no slot and does not crash
  EXPECT_EQ(PartsTreeEntries(g, blofeld)[4].substr(0, 17), "Part 05  -  \x81" "001 ");
  EXPECT_EQ(KeyboardChannel(2, 16), 2);
  EXPECT_EQ(KeyboardChannel(-1, 16), 0);
  EXPECT_EQ(KeyboardChannel(3, 1), 0);
}

}  // namespace
}  // namespace tarvix
