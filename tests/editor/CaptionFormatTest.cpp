#include <gtest/gtest.h>

#include <set>

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

// A missing or doubled entry shifts every value after it. The controls pin most lists' lengths; these are the
// shifts that show nowhere else: a destination inside the matrix's part of the list, and the wavetables numbered
// after the waves.
TEST(Vocabulary, ListsKeepTheirLengthAndOrder) {
  ASSERT_EQ(ModDestinationNames().size(), 58u);
  EXPECT_EQ(CategoryListNames().size(), 13u);  // the category is no schema control
  EXPECT_EQ(ModDestinationNames()[19], "Noises Bal.");
  EXPECT_EQ(WaveShapeNames()[72], "UpperWaves");
  EXPECT_EQ(WaveShapeNames()[73], "wavetable 67");
  EXPECT_EQ(std::set<std::string>(LfoSyncNames().begin(), LfoSyncNames().end()).size(), 64u);
}

}  // namespace
}  // namespace tarvix
