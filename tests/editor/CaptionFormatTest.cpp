#include <gtest/gtest.h>

#include <set>

#include "editor/CaptionFormat.h"
#include "editor/Vocabulary.h"

namespace tarvix {
namespace {

TEST(CaptionFormat, FormattersAtTheirEdges) {
  EXPECT_EQ(FormatKeytrack(0), "Keytrck -199%");
  EXPECT_EQ(FormatKeytrack(64), "Keytrck 0%");
  EXPECT_EQ(FormatKeytrack(127), "Keytrck 196%");
  EXPECT_EQ(FormatKeytrack(96), "Keytrck 100%");  // 99.56 rounds up

  EXPECT_EQ(FormatTempo(0), "Tempo40");
  EXPECT_EQ(FormatTempo(25), "Tempo90");
  EXPECT_EQ(FormatTempo(26), "Tempo91");
  EXPECT_EQ(FormatTempo(100), "Tempo165");
  EXPECT_EQ(FormatTempo(101), "Tempo170");
  EXPECT_EQ(FormatTempo(127), "Tempo300");

  EXPECT_EQ(FormatBalance(-64), "Bal F1 64");
  EXPECT_EQ(FormatBalance(0), "Bal middle");
  EXPECT_EQ(FormatBalance(63), "Bal F2 63");

  EXPECT_EQ(FormatOctave(0), "Oct 128'");
  EXPECT_EQ(FormatOctave(4), "Oct 8'");
  EXPECT_EQ(FormatOctave(8), "Oct 1/2'");
  EXPECT_EQ(FormatOctave(9), "9");  // out of range never reads past the table

  EXPECT_EQ(FormatStartPhase(0), "Start Phase 0\xC2\xB0");
  EXPECT_EQ(FormatStartPhase(127), "Start Phase 355\xC2\xB0");
  EXPECT_EQ(FormatStartPhase(64), "Start Phase 179\xC2\xB0");  // 178.9

  EXPECT_EQ(FormatLfoSync(0, true), "1280 bars");
  EXPECT_EQ(FormatLfoSync(127, true), "1/48");
  EXPECT_EQ(FormatLfoSync(94, true), "1 bars");
  EXPECT_EQ(FormatLfoSync(50, false), "Speed");

  EXPECT_EQ(FormatArpStep(6), "chord");
  EXPECT_EQ(FormatArpAccent(0), "silent");
  EXPECT_EQ(FormatArpTiming(0), "random");
  EXPECT_EQ(FormatArpLength(7), "3");
  EXPECT_EQ(FormatArpStep(8), "8");

  EXPECT_EQ(KnobCaption(tag::kTempo, 26), "Tempo91");
  EXPECT_EQ(KnobCaption(tag::kSemitone, 3), std::nullopt);
  EXPECT_EQ(KnobCaption(tag::kLfoSync, 127, true), "1/48");
}

TEST(CaptionFormat, RoundHalfEven) {
  EXPECT_EQ(RoundHalfEven(5, 2), 2);
  EXPECT_EQ(RoundHalfEven(7, 2), 4);
  EXPECT_EQ(RoundHalfEven(-5, 2), -2);
  EXPECT_EQ(RoundHalfEven(-7, 2), -4);
  EXPECT_EQ(RoundHalfEven(-8, 3), -3);
  EXPECT_EQ(RoundHalfEven(8, 3), 3);
  EXPECT_EQ(RoundHalfEven(0, 7), 0);
}

// An entry missing or doubled shifts every byte value after it, so each list
// is checked by its length and by an entry near its end.
TEST(Vocabulary, ListsKeepTheirLengthAndOrder) {
  const struct {
    const Vocabulary& list;
    std::size_t size;
    std::size_t index;
    const char* entry;
  } cases[] = {
      {ModSourceNames(), 31, 30, "MAXIMUM"},          {ModDestinationNames(), 58, 19, "Noises Bal."},
      {WaveShapeNames(), 125, 73, "wavetable 67"},    {WaveShapeNames(), 125, 124, "wavetable 118"},
      {LfoSyncNames(), 64, 57, "1/16."},              {ArpNoteLengthNames(), 44, 43, "legato"},
      {DelayLengthNames(), 30, 29, "10 bars"},        {ArpPatternNames(), 17, 16, "15"},
      {Effect2TypeNames(), 9, 7, "Clk. Delay"},       {FmSourceNames(), 12, 0, nullptr},
      {ClockNames(), 43, 0, nullptr},                 {CategoryListNames(), 13, 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    ASSERT_EQ(c.list.size(), c.size);
    if (c.entry) EXPECT_EQ(c.list[c.index], c.entry);
  }
  EXPECT_EQ(MatrixDestinationNames().back(), "M4 Amount");
  // Every LFO speed has its own text.
  EXPECT_EQ(std::set<std::string>(LfoSyncNames().begin(), LfoSyncNames().end()).size(), 64u);

  auto shapes = ShapeListEntries({"Piano", "Strings"});
  ASSERT_EQ(shapes.size(), 127u);
  EXPECT_EQ(shapes[125], "A1 Piano");
  EXPECT_EQ(shapes[126], "A2 Strings");
}

}  // namespace
}  // namespace tarvix
