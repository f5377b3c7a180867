#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "editor/CaptionFormat.h"
#include "editor/Vocabulary.h"

namespace tarvix {
namespace {

TEST(CaptionFormat, FormattersAtTheirEdges) {
  const std::pair<std::string, std::string> cases[] = {
      {FormatKeytrack(0), "Keytrck -199%"}, {FormatKeytrack(64), "Keytrck 0%"}, {FormatKeytrack(32), "Keytrck -100%"},
      {FormatKeytrack(127), "Keytrck 196%"}, {FormatKeytrack(96), "Keytrck 100%"},  // 99.56 rounds up
      {FormatTempo(0), "Tempo40"}, {FormatTempo(25), "Tempo90"}, {FormatTempo(26), "Tempo91"},
      {FormatTempo(100), "Tempo165"}, {FormatTempo(101), "Tempo170"}, {FormatTempo(127), "Tempo300"},
      {FormatBalance(-64), "Bal F1 64"}, {FormatBalance(0), "Bal middle"}, {FormatBalance(63), "Bal F2 63"},
      {FormatOctave(0), "Oct 128'"}, {FormatOctave(4), "Oct 8'"}, {FormatOctave(8), "Oct 1/2'"},
      {FormatOctave(9), "9"},  // out of range never reads past the table
      {FormatStartPhase(0), "Start Phase 0\xC2\xB0"}, {FormatStartPhase(127), "Start Phase 355\xC2\xB0"},
      {FormatStartPhase(64), "Start Phase 179\xC2\xB0"},  // 178.9
      {FormatLfoSync(0, true), "1280 bars"}, {FormatLfoSync(127, true), "1/48"}, {FormatLfoSync(94, true), "1 bars"},
      {FormatLfoSync(50, false), "Speed"}, {FormatArpStep(6), "chord"}, {FormatArpAccent(0), "silent"},
      {FormatArpTiming(0), "random"}, {FormatArpLength(7), "3"}, {FormatArpStep(8), "8"},
  };
  for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);

  EXPECT_EQ(KnobCaption(tag::kTempo, 26), "Tempo91");
}

// A missing or doubled entry shifts every value after it: length and an entry near the end.
TEST(Vocabulary, ListsKeepTheirLengthAndOrder) {
  const std::tuple<const Vocabulary&, std::size_t, std::size_t, const char*> cases[] = {  // list, size, index, entry
      {ModSourceNames(), 31, 30, "MAXIMUM"},          {ModDestinationNames(), 58, 19, "Noises Bal."},
      {WaveShapeNames(), 125, 73, "wavetable 67"},    {WaveShapeNames(), 125, 72, "UpperWaves"},
      {LfoSyncNames(), 64, 57, "1/16."},              {ArpNoteLengthNames(), 44, 43, "legato"},
      {DelayLengthNames(), 30, 29, "10 bars"},        {ArpPatternNames(), 17, 16, "15"},
      {Effect2TypeNames(), 9, 7, "Clk. Delay"},       {FmSourceNames(), 12, 0, nullptr},
      {ClockNames(), 43, 0, nullptr},                 {CategoryListNames(), 13, 0, nullptr},
      {ModSourceBNames(), 31, 0, "Constant"},  // source B "off" is the modifier's constant
  };
  for (const auto& [list, size, index, entry] : cases) {
    SCOPED_TRACE(size);
    ASSERT_EQ(list.size(), size);
    if (entry) { EXPECT_EQ(list[index], entry); }
  }
  EXPECT_EQ(MatrixDestinationNames().back(), "M4 Amount");
  EXPECT_EQ(std::set<std::string>(LfoSyncNames().begin(), LfoSyncNames().end()).size(), 64u);

  auto shapes = ShapeListEntries({"Piano", "Strings"});
  ASSERT_EQ(shapes.size(), 127u);
  EXPECT_EQ(shapes[125], "A1 Piano");
  EXPECT_EQ(shapes[126], "A2 Strings");
}

}  // namespace
}  // namespace tarvix
