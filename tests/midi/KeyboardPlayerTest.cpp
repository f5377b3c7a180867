#include <gtest/gtest.h>

#include <set>

#include "midi/KeyboardNoteKeys.h"
#include "midi/KeyboardPlayer.h"
#include "midi/KeyboardRules.h"
#include "tests/midi/MidiFakes.h"

namespace tarvix {
namespace {

using Sent = std::vector<test::Bytes>;

struct KeyboardTest : ::testing::Test {
  test::RecordingOut out;
  KeyboardPlayer player{[this] { return &out; }};
  void GoToOctave(int octave) {
    while (player.Octave() < octave) player.OctaveUp();
    while (player.Octave() > octave) player.OctaveDown();
  }
  Sent Take() { return std::exchange(out.sent, {}); }
};

TEST_F(KeyboardTest, HeldKeysSoundOnceInTheirOctaveAndNeverAbove127) {
  player.SetVolume(200);  // out-of-range settings are clamped to full volume and channel 1
  player.SetKeyboardChannel(-3);
  for (int i = 0; i < 3; ++i) player.Tick({'A'});
  player.Tick({'A', 'D', 'G', 'Q', 'Z', 'a'});  // Q, Z and a are no note keys
  player.Tick({'D'});
  player.Tick({'P'});
  player.Tick({});
  EXPECT_EQ(Take(), (Sent{{0x90, 60, 127}, {0x90, 64, 127}, {0x90, 67, 127}, {0x80, 60, 0}, {0x80, 67, 0},
                          {0x80, 64, 0}, {0x90, 75, 127}, {0x80, 75, 0}}));

  // Octave 9 reaches up to G (127); octave 10 has no note at all.
  std::set<char> all;
  for (const auto& k : KeyboardNoteKeys) all.insert(k.key);
  GoToOctave(9);
  player.Tick(all);
  GoToOctave(10);
  player.Tick({});
  player.Tick(all);
  player.Tick({});
  const Sent sent = Take();
  ASSERT_EQ(sent.size(), 16u);
  EXPECT_EQ(sent[7], (test::Bytes{0x90, 127, 127}));
}

TEST_F(KeyboardTest, EveryNoteGetsTheNoteOffOfTheChannelAndNoteItStartedWith) {
  player.Tick({'A'});
  player.OctaveUp();
  player.SetKeyboardChannel(3);
  player.Tick({'A'});
  player.Tick({});
  EXPECT_EQ(Take(), (Sent{{0x90, 60, 127}, {0x80, 60, 0}}));

  // K at octave 4 and A at octave 5 are the same note: it starts with the first key and stops only when the last one
  // lets go.
  player.SetKeyboardChannel(0);
  GoToOctave(4);
  player.Tick({'K'});
  player.OctaveUp();
  player.Tick({'K', 'A'});
  player.Tick({'A'});
  EXPECT_EQ(Take(), (Sent{{0x90, 72, 127}}));
  player.Tick({});
  EXPECT_EQ(Take(), (Sent{{0x80, 72, 0}}));

  GoToOctave(4);
  player.SetKeyboardChannel(5);
  player.Tick({'A', 'K'});
  player.SetKeyboardChannel(6);
  player.Tick({'A', 'K', 'W'});
  Take();
  player.ReleaseAll();
  Sent offs = Take();
  std::sort(offs.begin(), offs.end());
  EXPECT_EQ(offs, (Sent{{0x85, 60, 0}, {0x85, 72, 0}, {0x86, 61, 0}}));
  player.ReleaseAll();
  EXPECT_TRUE(Take().empty());
  // The keys still held start again on the next scan, as a fresh press would.
  player.Tick({'A'});
  EXPECT_EQ(Take(), (Sent{{0x96, 60, 127}}));

  // An output that opens while a key is held still gets its note-off.
  MidiOut* current = nullptr;
  KeyboardPlayer later([&] { return current; });
  later.Tick({'S'});
  current = &out;
  later.Tick({});
  EXPECT_EQ(Take(), (Sent{{0x80, 62, 0}}));
}

TEST(KeyboardRules, SwallowedCharactersAndPlayableWindows) {
  for (const char* c : {"", "ad"}) EXPECT_FALSE(SwallowsTypedCharacter(c, true)) << c;  // typed text of no one letter
  for (const char* w : {"TfrmMain", "TfrmPatchEdit", "TfrmMorph", "TfrmLocker"}) EXPECT_TRUE(KeyboardScanRunsIn(w));
  for (const char* w : {"", "TfrmMidiSysexConverter", "TfrmMainX", "tfrmmain", "Firefox"})
    EXPECT_FALSE(KeyboardScanRunsIn(w));
}

}  // namespace
}  // namespace tarvix
