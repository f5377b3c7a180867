#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <tuple>

#include "editor/ControlTable.h"
#include "editor/Randomizer.h"
#include "editor/SchemaEntryList.h"
#include "editor/SoundFamilySchema.h"
#include "tests/editor/ExpectBytes.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

std::vector<std::string> Lines(const std::filesystem::path& p) {
  std::ifstream in(p);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) out.push_back(line);
  return out;
}

void ExpectMasks(const SoundFamilySchema& s, std::initializer_list<std::pair<const char*, const char*>> masks) {
  for (const auto& [control, mask] : masks) EXPECT_EQ(s.MaskOf(control), mask) << control;
}

TEST(SchemaEntryListTest, KeysOrderSpellingAndDoubleEntries) {
  const auto& e = SchemaEntryList();
  ASSERT_EQ(e.size(), 343u);

  std::map<std::string, std::vector<std::string>> controlsOfKey;
  std::map<std::string, int> entriesOfControl;
  for (const auto& x : e) {
    controlsOfKey[x.key].push_back(x.control);
    ++entriesOfControl[x.control];
  }
  // The file format's own spellings, which files written before keep.
  for (const auto& [key, control] : std::vector<std::pair<std::string, std::string>>{
           {"Pitch Amount", "KnobPitchAmount"}, {"Mode", "cmbAllocation"}, {"OscMode", "cmbOscMode"},
           {"Modulation7Mount", "KnobModulation7Amount"}, {"AmplifierMOdAmount", "KnobAmplifierModAmount"},
           {"Effetc1Mix", "knobEffect1Mix"}, {"Effetc2Type", "cmbEffect2type"}, {"Effetc2Mix", "KnobEffect2Mix"},
           {"Keytrack_2", "KnobKeyTrack2"}, {"PWM_Source_1", "cmbPwmSource1"}, {"FM_Source_3", "cmbFMSource3"},
           {"LFO1Keytrack", "KnobLFO1KeyTrack"}, {"ArpLen16", "KnobArpLength16"}, {"Sync_to_O3", "CheckLedSynctoOsc3"}})
    EXPECT_EQ(controlsOfKey[key], std::vector<std::string>{control}) << key;
  EXPECT_EQ(controlsOfKey.count("Effect1Mix"), 1u);
  // Entries sharing a control: three start phases, the effect types and mixes.
  EXPECT_EQ(controlsOfKey["LFO2StartPhase"].size(), 2u);
  EXPECT_EQ(controlsOfKey["Effect1Type"].size(), 2u);
  for (const char* c : {"knobEffect1Mix", "cmbEffect2type", "KnobEffect2Mix"}) EXPECT_EQ(entriesOfControl[c], 2) << c;
  EXPECT_EQ(entriesOfControl.size(), ControlTable().size());  // every control has its entry
}

TEST(SchemaFileTest, RoundTripOldSpellingsUnknownKeysAndListing) {
  test::TempDir dir;
  const auto file = SoundFamilySchema::FileFor(dir.Path(), "Bright Pads");
  EXPECT_EQ(SoundFamilySchema::FileFor(dir.Path(), "").filename(), ".sndfamily");
  EXPECT_THROW(SoundFamilySchema::FileFor(dir.Path(), "../outside"), std::invalid_argument);
  EXPECT_THROW(SoundFamilySchema::FileFor(dir.Path(), "a\\b"), std::invalid_argument);

  SoundFamilySchema a(ControlTableDescriptors());
  for (std::size_t n = 1; n <= a.Controls().size(); ++n)
    a.SetMaskOf(a.Controls()[n - 1].name, std::to_string(n % 2) + "01" + std::string(n % 7, '1'));
  a.SetMaskOf("KnobLFO1StartPhase", "0110");
  a.Save(file);
  // One "key=value" line per key, in list order; keys that occur twice keep their first place.
  std::vector<std::string> expected{"[Parameters]"};
  std::set<std::string> seen;
  for (const auto& e : a.Entries())
    if (seen.insert(e.name).second) expected.push_back(e.name + "=" + e.mask);
  EXPECT_EQ(Lines(file), expected);
  SoundFamilySchema s(ControlTableDescriptors());
  s.Load(file);
  for (std::size_t i = 0; i < a.Entries().size(); ++i) EXPECT_EQ(s.Entries()[i].mask, a.Entries()[i].mask) << i;
  const auto startPhase = [](auto& e) { return e.name == "LFO1StartPhase" && e.mask == "0110"; };
  EXPECT_EQ(std::ranges::count_if(s.Entries(), startPhase), 2);  // both start phase entries carry the mask

  // Missing keys read "0"; other sections and unknown keys survive saving.
  std::ofstream(file) << "[Notes]\nauthor=me\n[Parameters]\nFilter1Cutoff=0011\nMyOwnKey=1\n";
  s.Load(file);
  ExpectMasks(s, {{"KnobFilter1Cutoff", "0011"}, {"KnobFilter2Cutoff", "0"}, {"CheckLedGlide3", "0"}});
  s.Save(file);
  const auto lines = Lines(file);
  for (const char* line : {"author=me", "MyOwnKey=1", "Filter1Cutoff=0011"})
    EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
  // Keys cut to 20 characters, as older files hold them, are read; full keys win and are written.
  std::ofstream(file) << "[Parameters]\nModulation1Destinati=0101\nFilterEnvelopeAttack=011\nAmpEnvelopeAttackLevel=1\n"
                         "AmpEnvelopeAttackLev=0001\n";
  s.Load(file);
  ExpectMasks(s, {{"cmbModulation1Destination", "0101"}, {"KnobFilterEnvelopeAttackLevel", "011"},
                 {"KnobFilterEnvelopeAttack", "011"}, {"KnobAmpEnvelopeAttackLevel", "1"}});
  s.SetMaskOf("KnobFilterEnvelopeAttack", "1");
  s.SetMaskOf("KnobFilterEnvelopeAttackLevel", "01");
  s.Save(file);
  s.Load(file);
  ExpectMasks(s, {{"KnobFilterEnvelopeAttack", "1"}, {"KnobFilterEnvelopeAttackLevel", "01"}});
  // A folder that cannot be written leaves no partial file and reports it.
  EXPECT_THROW(s.Save(dir / "no-such-folder" / "y.sndfamily"), std::runtime_error);

  for (const char* f : {"b.sndfamily", "a one.sndfamily", ".sndfamily", "c.sndfamily.bak", "notes.txt"})
    std::ofstream(dir / f) << "[Parameters]\n";
  std::filesystem::create_directory(dir / "d.sndfamily");
  EXPECT_EQ(SoundFamilySchema::ListSchemas(dir.Path()), (std::vector<std::string>{"", "Bright Pads", "a one", "b"}));
  EXPECT_TRUE(SoundFamilySchema::ListSchemas(dir / "missing").empty());
}

TEST(RandomValueTest, FreshSchemaGivesMiddleValues) {
  SoundFamilySchema s(ControlTableDescriptors());
  s.Load("/nonexistent/folder/none.sndfamily");  // a missing file reads as all "0"
  RandomSource r(12345);
  // The middle of an even range lies above its centre: -64..63 gives 0. (More middles in the bytes below.)
  for (const auto& [control, middle] : std::vector<std::pair<const char*, int>>{
           {"KnobDetune2", 0}, {"KnobArpStep5", 4}, {"cmbModulation3Destination", 0}, {"CheckLedLFO1Sync", 0}})
    EXPECT_EQ(s.RandomValueFor(control, r), middle) << control;
  EXPECT_THROW(s.MaskOf("KnobNothing"), std::invalid_argument);
  EXPECT_THROW(s.RandomValueFor("KnobNothing", r), std::invalid_argument);
  auto controls = ControlTableDescriptors();
  std::erase_if(controls, [](auto& c) { return c.name == "KnobArpTempo"; });
  EXPECT_THROW(SoundFamilySchema{controls}, std::invalid_argument);

  SoundData sound{};
  RunRandomizer(RandomizerCommand::Sound, sound, [&](std::string_view c) { return s.RandomValueFor(c, r); });
  // Octave 8', semitone 0, keytrack, cutoff; Limit WT and sync lit; unisono off, Poly; step "first", glide, accent 4.
  test::ExpectBytes(sound, {{8, 64}, {9, 64}, {12, 96}, {85, 64}, {21, 0}, {56, 1}, {65, 0},
                            {334, 4 * 16 + 8 + 4}, {350, 4 * 16 + 4}});
  EXPECT_EQ(s.MaskOf("KnobFilter1Cutoff"), std::string(64, '0') + "1" + std::string(63, '0'));  // the middle is kept
}

TEST(RandomValueTest, DrawsOnlyAllowedValuesAndReachesEachOfThem) {
  // Characters beyond a control's value list are never drawn.
  test::TempDir dir;
  const auto file = dir / "long.sndfamily";
  std::ofstream(file) << "[Parameters]\nFilterRouting=0011\nArpStep1=000000001\nLFO1Sync=01111\nGlide=000\n";
  SoundFamilySchema s(ControlTableDescriptors());
  MemoryLog log;
  s.Load(file, &log);
  ASSERT_EQ(log.lines.size(), 1u);  // one report for the whole file
  EXPECT_NE(log.lines[0].find("long.sndfamily"), std::string::npos);
  RandomSource r(5);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(s.RandomValueFor("cmbFilterRouting", r), 1);  // "00" usable: last index
    EXPECT_EQ(s.RandomValueFor("KnobArpStep1", r), 4);     // nothing usable: the middle
    EXPECT_EQ(s.RandomValueFor("CheckLedLFO1Sync", r), 1);
    EXPECT_EQ(s.RandomValueFor("CheckLedGlide", r), 1);     // "00" usable: last index "Off"
  }
  s.SetMaskOf("KnobFilter1Resonance", "0000000000101");  // values 10 and 12
  s.SetMaskOf("CheckLedGlide", "");                        // nothing at all: "On"
  std::set<int> got;
  for (int i = 0; i < 200; ++i) got.insert(s.RandomValueFor("KnobFilter1Resonance", r));
  EXPECT_EQ(got, (std::set<int>{10, 12}));
  EXPECT_EQ(s.RandomValueFor("CheckLedGlide", r), 0);
  // The draw is the r-th allowed value for r = Random(n) + 1.
  RandomSource a(99), b(99);
  s.SetMaskOf("KnobAmplifierVolume", "0110101");  // values 1, 2, 4, 6
  const int expected[] = {1, 2, 4, 6};
  for (int i = 0; i < 20; ++i) EXPECT_EQ(s.RandomValueFor("KnobAmplifierVolume", a), expected[b.Random(4)]);
}

TEST(CreateSchemaTest, TolerancesBoundTheDraws) {
  SoundFamilySchema s(ControlTableDescriptors());
  Tolerances t;
  t.octave = 1;
  t.detune = 0;
  t.comboBox = 64;
  t.otherKnobs = 2;
  SoundData sound{};
  sound[8] = 64;                  // octave 1 at position 4
  sound[10] = 64 - 5;             // detune 1 at -5
  sound[85] = 0;                  // cutoff 1 at its minimum
  sound[168] = 3;                 // LFO 1 speed (other knobs)
  sound[333] = 120;               // tempo (other knobs)
  sound[334] = 0x7F;              // step 1: type 7, glide, accent 7
  sound[60] = 1;                  // glide lit
  sound[21] = 1;                  // Limit WT 1 dark
  sound[268] = 0;                 // modulation 1 source "off"
  const auto create = [&] {
    s.CreateFromValues([&](const SchemaControl& c) { return DecodeValue(*FindControl(c.name), sound); }, t);
  };
  create();
  ExpectMasks(s, {{"KnobFilter1Cutoff", ("111" + std::string(125, '0')).c_str()}, {"CheckLedLimitWT1", "01"}});

  RandomSource r(4242);
  const auto draws = [&](const char* control, int n) {
    std::set<int> got;
    for (int i = 0; i < n; ++i) got.insert(s.RandomValueFor(control, r));
    return got;
  };
  EXPECT_EQ(draws("KnobOctave1", 600), (std::set<int>{3, 4, 5}));
  EXPECT_EQ(draws("KnobDetune1", 600), std::set<int>{-5});
  EXPECT_EQ(draws("cmbModulation1Destination", 600).size(), 54u);
  EXPECT_EQ(draws("KnobLFO1Speed", 600), (std::set<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(draws("KnobArpTempo", 600), (std::set<int>{118, 119, 120, 121, 122}));
  EXPECT_EQ(draws("KnobArpStep1", 600).size(), 8u);  // step knobs follow the list tolerance, 64 here
  EXPECT_EQ(draws("CheckLedGlide", 600), std::set<int>{0});
  // Tolerance 0: the value never changes.
  t.octave = 0;
  t.comboBox = 0;
  create();
  EXPECT_EQ(draws("KnobOctave1", 50), std::set<int>{4});
  EXPECT_EQ(draws("KnobArpStep1", 50), std::set<int>{7});
}

// Each control's rows with their captions, and which are ticked; anything but "0" ticks, characters beyond
// the value list are not shown, and a mask without "1" ticks the middle row, the value that will be drawn.
TEST(AllowedValuesTest, RowsAndTicks) {
  SoundFamilySchema s(ControlTableDescriptors());
  const auto caption = [](const SchemaControl& c, int v) { return c.name + ":" + std::to_string(v); };
  // Control, mask, rows, a row and its caption, the rows ticked.
  const std::tuple<const char*, const char*, std::size_t, std::size_t, const char*, std::vector<std::size_t>>
      cases[] = {
      {"CheckLedLFO2Clocked", "0", 2, 1, "Off", {}},
      {"cmbFilterRouting", "0011", 2, 1, "cmbFilterRouting:1", {}},
      {"KnobOctave2", "01", 9, 1, "1 KnobOctave2:1", {1}},
      {"KnobSemitone1", "", 25, 0, "-12", {12}},  // tag 5: plain numbers
      {"KnobKeytrack1", "0", 128, 64, "64 KnobKeytrack1:64", {96}},
      {"cmbOscMode", "1x01", 4, 2, "cmbOscMode:2", {0, 1, 3}},
  };
  for (const auto& [control, mask, count, row, item, ticked] : cases) {
    SCOPED_TRACE(control);
    s.SetMaskOf(control, mask);
    const auto rows = s.AllowedValuesFor(control, caption);
    ASSERT_EQ(std::pair(rows.items.size(), rows.ticked.size()), std::pair(count, count));
    EXPECT_EQ(rows.items[row], item);
    std::vector<std::size_t> tickedRows;
    for (std::size_t i = 0; i < count; ++i)
      if (rows.ticked[i]) tickedRows.push_back(i);
    EXPECT_EQ(tickedRows, ticked);
  }
}

}  // namespace
}  // namespace tarvix
