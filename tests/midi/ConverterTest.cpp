#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "library/SoundData.h"
#include "midi/MidiFileConverter.h"
#include "midi/MidiToSysex.h"
#include "midi/SysexToMidi.h"
#include "tests/midi/SmfBuilder.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

using test::Bytes;
using test::MakeSmf;
using test::Track;

std::istringstream StreamOf(const Bytes& b) {
  return std::istringstream(std::string(b.begin(), b.end()), std::ios::binary);
}

Bytes Dump(int index) {
  SoundData s;
  std::mt19937 rng(static_cast<unsigned>(index));
  for (auto& b : s.bytes) b = static_cast<std::uint8_t>(rng() & 0x7F);
  s[0] = 0xF0;
  s[1] = 0x3E;
  s[2] = 0x13;
  s[3] = 0x00;
  s[4] = 0x10;
  s[5] = static_cast<std::uint8_t>(index / 128 % 8);
  s[6] = static_cast<std::uint8_t>(index % 128);
  s[offs::kChecksum] = ChecksumOf(s);
  s[offs::kEnd] = 0xF7;
  return Bytes(s.bytes.begin(), s.bytes.end());
}

Bytes Dumps(int n) {
  Bytes all;
  for (int i = 0; i < n; ++i) {
    const Bytes d = Dump(i);
    all.insert(all.end(), d.begin(), d.end());
  }
  return all;
}

Bytes ToMidi(const Bytes& sysex) {
  Bytes out;
  auto in = StreamOf(sysex);
  SysexToMidi(in, [&](std::span<const std::uint8_t> b) { out.insert(out.end(), b.begin(), b.end()); });
  return out;
}

Bytes ToSysex(const Bytes& midi, MidiToSysexResult* result = nullptr, std::size_t max = SysexAssembler::kDefaultMaxMessage) {
  Bytes out;
  auto in = StreamOf(midi);
  const auto r = MidiToSysex(in, [&](std::span<const std::uint8_t> b) { out.insert(out.end(), b.begin(), b.end()); }, max);
  if (result) *result = r;
  return out;
}

std::uint32_t TrackLength(const Bytes& midi) {
  return (std::uint32_t{midi[18]} << 24) | (midi[19] << 16) | (midi[20] << 8) | midi[21];
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes LittleEndian(std::size_t v) {
  return Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
               static_cast<std::uint8_t>(v >> 24)};
}

// A RIFF MIDI file around `smf`, with an INFO chunk after the data whose
// bytes look like a SysEx message but are not MIDI.
Bytes RiffMidi(const Bytes& smf) {
  const Bytes info = Concat({{'L', 'I', 'S', 'T'}, LittleEndian(4), {0xF0, 0x01, 0x02, 0xF7}});
  const Bytes body = Concat({{'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'}, LittleEndian(smf.size()), smf, info});
  return Concat({{'R', 'I', 'F', 'F'}, LittleEndian(body.size()), body});
}

TEST(SysexToMidi, WritesOneFormatZeroTrackWithAnEventPerDump) {
  const Bytes sysex = Dumps(10);
  const Bytes midi = ToMidi(sysex);
  ASSERT_EQ(midi.size(), 3976u);
  EXPECT_EQ(MidiFileSizeFor(sysex.size()), 3976u);
  EXPECT_EQ(TrackLength(midi), 3954u);
  const Bytes header{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 0x60, 'M', 'T', 'r', 'k'};
  EXPECT_TRUE(std::equal(header.begin(), header.end(), midi.begin()));
  for (int k = 0; k < 10; ++k) {
    const std::size_t e = 22 + 395 * static_cast<std::size_t>(k);
    EXPECT_EQ(midi[e], k == 0 ? 0x00 : 0x18) << k;
    EXPECT_EQ(midi[e + 1], 0xF0);
    EXPECT_EQ(midi[e + 2], 0x83);
    EXPECT_EQ(midi[e + 3], 0x07);
    // The dump's bytes 1..390 follow; its own F0 and F7 are not repeated.
    EXPECT_TRUE(std::equal(sysex.begin() + 392 * k + 1, sysex.begin() + 392 * k + 391, midi.begin() + e + 4)) << k;
    EXPECT_EQ(midi[e + 394], 0xF7);
  }
  EXPECT_EQ(Bytes(midi.end() - 4, midi.end()), (Bytes{0x18, 0xFF, 0x2F, 0x00}));
}

TEST(SysexToMidi, DropsATrailingPartBlockAndHandlesAnEmptyFile) {
  Bytes sysex = Dumps(1);
  sysex.resize(400, 0x55);
  Bytes midi = ToMidi(sysex);
  EXPECT_EQ(midi.size(), 22u + 395u + 4u);
  EXPECT_EQ(TrackLength(midi), 399u);

  midi = ToMidi({});
  EXPECT_EQ(midi.size(), 26u);
  EXPECT_EQ(TrackLength(midi), 4u);
  EXPECT_EQ(Bytes(midi.begin() + 22, midi.end()), (Bytes{0x18, 0xFF, 0x2F, 0x00}));
  // ... and that file converts back to nothing.
  EXPECT_TRUE(ToSysex(midi).empty());
}

TEST(MidiToSysex, RoundTripGivesTheDumpsBackWithAnUncheckedChecksum) {
  for (int n : {1, 10, 68, 200}) {
    const Bytes sysex = Dumps(n);
    const Bytes midi = ToMidi(sysex);
    if (n == 68) {
      // The track length's last byte is F0: a plain byte scan would start a
      // message in the header and come back misaligned.
      EXPECT_EQ(Bytes(midi.begin() + 18, midi.begin() + 22), (Bytes{0x00, 0x00, 0x68, 0xF0}));
    }
    MidiToSysexResult r;
    const Bytes back = ToSysex(midi, &r);
    EXPECT_TRUE(r.standardMidiFile);
    EXPECT_EQ(r.messages, static_cast<std::size_t>(n));
    ASSERT_EQ(back.size(), sysex.size()) << n;
    Bytes expected = sysex;
    for (int k = 0; k < n; ++k) expected[392 * k + offs::kChecksum] = 0x7F;
    EXPECT_EQ(back, expected) << n;
  }
}

TEST(MidiToSysex, ReadsFilesOfOtherProgramsAndKeepsOnlyTheSoundDumps) {
  const Bytes gmReset{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  const Bytes roland{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  Bytes longMsg{0xF0, 0x43};
  for (int i = 0; i < 20000; ++i) longMsg.push_back(static_cast<std::uint8_t>(i % 128));  // a 3-byte length
  longMsg.push_back(0xF7);
  Bytes divided{0xF0, 0x00, 0x20, 0x33};
  for (int i = 0; i < 300; ++i) divided.push_back(static_cast<std::uint8_t>(i % 100));
  divided.push_back(0xF7);
  const Bytes dump = Dump(5);
  Bytes dumpOut = dump;
  dumpOut[offs::kChecksum] = 0x7F;

  Track conductor;
  conductor.Delta(0).Meta(0x03, "Blofeld bank A").Delta(0).Raw({0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // tempo
  conductor.Delta(0).Raw({0xFF, 0x58, 0x04, 0x04, 0x02, 0x18, 0x08}).End();  // time signature

  Track music;
  music.Delta(0).Raw({0xC0, 0x05})               // program change: one data byte
      .Delta(0).Raw({0x90, 0x3C, 0x64})           // note on ...
      .Delta(96).Raw({0x3E, 0x64})                // ... and another by running status
      .Delta(0).Sysex(gmReset)
      .Delta(200).Raw({0x40, 0x00})               // running status still holds after a SysEx event
      .Delta(0).Raw({0xD0, 0x40}).Delta(0).Raw({0x30})  // channel pressure with running status
      .Delta(0).F7(roland)                        // an escape carrying a whole message
      .Delta(0).Raw({0xB0, 0x07, 0x64})
      .Delta(0).F7({0xF8})                        // an escape with a real-time byte only
      .Delta(0).Sysex(longMsg)
      .Delta(0).Meta(0x01, std::string("\xF0\xF7\xF0", 3))  // SysEx bytes inside a text event mean nothing
      .End();

  // A divided message: the first packet has no F7, continuations follow.
  Track packets;
  const Bytes first(divided.begin(), divided.begin() + 100);
  const Bytes middle(divided.begin() + 100, divided.begin() + 250);
  const Bytes last(divided.begin() + 250, divided.end());
  packets.Delta(0).Sysex(first).Delta(10).F7(middle).Delta(10).F7(last).Delta(0).Sysex(dump).End();

  Bytes file = MakeSmf(1, {conductor, music, packets});
  // An unknown chunk between tracks is skipped whole.
  const Bytes alien{'X', 'f', 'I', 'h', 0, 0, 0, 3, 0xF0, 0x01, 0xF7};
  file.insert(file.begin() + 14, alien.begin(), alien.end());

  MidiToSysexResult r;
  const Bytes out = ToSysex(file, &r);
  EXPECT_EQ(r.incomplete, 0u);
  EXPECT_EQ(r.messages, 1u);
  // Four messages of other devices read whole (and then left out), so the
  // dump behind them comes out exactly.
  EXPECT_EQ(r.skipped, 4u);
  EXPECT_TRUE(r.damage.empty()) << r.damage;
  EXPECT_EQ(out, dumpOut);
}

TEST(MidiToSysex, UnwrapsRiffMidiFiles) {
  Bytes msg = Dump(9);
  msg[offs::kChecksum] = 0x7F;
  const Bytes smf = MakeSmf(0, {Track().Delta(0).Sysex(msg).End()});
  const Bytes riff = RiffMidi(smf);
  MidiToSysexResult r;
  EXPECT_EQ(ToSysex(riff, &r), msg);
  EXPECT_TRUE(r.standardMidiFile);
  // A RIFF file of another kind is scanned like any file without a header.
  Bytes wave = riff;
  std::copy_n("WAVE", 4, wave.begin() + 8);
  EXPECT_EQ(ToSysex(wave, &r), msg);
  EXPECT_FALSE(r.standardMidiFile);
  EXPECT_EQ(r.skipped, 1u);  // the INFO chunk's F0 01 02 F7
}

TEST(MidiToSysex, LeavesOutMessagesThatNeverEnd) {
  Bytes good = Dump(2);
  good[offs::kChecksum] = 0x7F;
  Track t1;
  t1.Delta(0).Sysex({0xF0, 0x11, 0x22}).End();                        // open at the end of its track
  Track t2;
  t2.Delta(0).Sysex({0xF0, 0x33}).Delta(0).Sysex(good).End();          // replaced by the next message
  MidiToSysexResult r;
  EXPECT_EQ(ToSysex(MakeSmf(1, {t1, t2}), &r), good);
  EXPECT_EQ(r.messages, 1u);
  EXPECT_EQ(r.incomplete, 2u);
}

TEST(MidiToSysex, RecoversEveryCompleteDumpFromDamagedFiles) {
  const Bytes midi = ToMidi(Dumps(3));
  Bytes expected3 = Dumps(3);
  for (int k = 0; k < 3; ++k) expected3[392 * k + offs::kChecksum] = 0x7F;
  const Bytes expected2(expected3.begin(), expected3.begin() + 2 * 392);
  constexpr std::size_t kThirdEvent = 22 + 2 * 395;

  Bytes overshoot(midi.begin(), midi.end() - 4);  // no end of track ...
  overshoot[19] = 0x01;                          // ... and a track length far past the file
  Bytes stray = midi;
  stray.insert(stray.begin() + kThirdEvent + 1, 0xF4);  // after the third event's delta time
  Track noStatus;
  noStatus.Delta(0).Sysex(Dump(0)).Delta(0).Raw({0x40, 0x40}).Delta(0).Sysex(Dump(1)).Delta(0).Sysex(Dump(2)).End();
  Track whole;
  whole.Delta(0).Sysex(Dump(0)).Delta(0).Sysex(Dump(1)).Delta(0).Sysex(Dump(2)).End();

  struct Case {
    const char* what;
    Bytes file;
    Bytes out;
    std::size_t incomplete;
    const char* reason;
  };
  const Case cases[] = {
      {"last dump cut off", Bytes(midi.begin(), midi.begin() + kThirdEvent + 200), expected2, 1, "cut off"},
      {"track length past the end", overshoot, expected3, 0, "cut off"},
      {"fewer tracks than the header says", MakeSmf(1, {whole}, 3), expected3, 0, "1 of its 3 tracks"},
      {"stray status byte between dumps", stray, expected3, 0, "unexpected status byte"},
      {"data bytes without a status", MakeSmf(0, {noStatus}), expected3, 0, "without a status"},
      {"header cut off", Bytes(midi.begin(), midi.begin() + 10), {}, 0, "cut off"},
  };
  for (const Case& c : cases) {
    MidiToSysexResult r;
    EXPECT_EQ(ToSysex(c.file, &r), c.out) << c.what;
    EXPECT_EQ(r.messages, c.out.size() / 392) << c.what;
    EXPECT_EQ(r.incomplete, c.incomplete) << c.what;
    EXPECT_NE(r.damage.find(c.reason), std::string::npos) << c.what << ": " << r.damage;
  }

  // A message longer than the capture limit is reported, not a silent loss;
  // the dump before it is kept.
  Bytes big{0xF0};
  big.resize(1000, 0x01);
  big.push_back(0xF7);
  MidiToSysexResult r;
  EXPECT_EQ(ToSysex(MakeSmf(0, {Track().Delta(0).Sysex(Dump(0)).Delta(0).Sysex(big).End()}), &r, 512),
            Bytes(expected3.begin(), expected3.begin() + 392));
  EXPECT_NE(r.damage.find("longer than 512"), std::string::npos) << r.damage;
}

TEST(MidiToSysex, ToleratesPaddingAndOvershootAfterTheLastTrack) {
  Bytes msg = Dump(4);
  msg[offs::kChecksum] = 0x7F;
  Bytes file = MakeSmf(0, {Track().Delta(0).Sysex(Dump(4)).End()});
  file[21] += 40;  // the track length overshoots the file, after a proper end of track
  MidiToSysexResult r;
  EXPECT_EQ(ToSysex(file, &r), msg);
  EXPECT_TRUE(r.damage.empty()) << r.damage;
  file[21] -= 40;
  file.insert(file.end(), 5, 0x00);  // zero padding
  EXPECT_EQ(ToSysex(file, &r), msg);
  EXPECT_TRUE(r.damage.empty()) << r.damage;
}

TEST(MidiToSysex, ScansFilesWithoutAHeaderForMessages) {
  const Bytes dump = Dump(7);
  // Events of a MIDI file that lost its header: the length after F0 goes.
  Bytes event{0xF0, 0x83, 0x07};
  event.insert(event.end(), dump.begin() + 1, dump.end());
  const Bytes shortEvent{0xF0, 0x05, 0x41, 0x10, 0x42, 0x12, 0xF7};
  // A plain SysEx message has no length: it is taken as it is.
  const Bytes plain{0xF0, 0x3E, 0x13, 0x00, 0x01, 0xF7};
  const Bytes junk{0x00, 0x12, 0x90, 0x40, 0x40, 0xF7, 0x7F};
  const Bytes file = Concat({junk, event, junk, shortEvent, plain, dump, {0xF0, 0x01, 0x02}});

  MidiToSysexResult r;
  const Bytes out = ToSysex(file, &r);
  EXPECT_FALSE(r.standardMidiFile);
  Bytes dumpOut = dump;
  dumpOut[offs::kChecksum] = 0x7F;
  EXPECT_EQ(out, Concat({dumpOut, dumpOut}));
  EXPECT_EQ(r.skipped, 2u);     // the Roland message and the plain one are no sound dumps
  EXPECT_EQ(r.incomplete, 1u);  // the F0 at the end never finished
}

// Whatever the input, the converter writes whole sound dumps only, and never touches memory it does not own (the
// sanitizer build checks the latter).
TEST(MidiToSysex, SurvivesRandomAndTruncatedInput) {
  std::mt19937 rng(20261206);
  auto check = [](const Bytes& input) {
    Bytes out;
    std::vector<std::size_t> sizes;
    try {
      auto in = StreamOf(input);
      MidiToSysex(in, [&](std::span<const std::uint8_t> b) {
        sizes.push_back(b.size());
        out.insert(out.end(), b.begin(), b.end());
      }, 4096);
    } catch (const std::runtime_error& e) {
      FAIL() << "damaged input is reported, not thrown: " << e.what();
    }
    std::size_t at = 0;
    for (std::size_t n : sizes) {
      ASSERT_EQ(n, 392u);
      ASSERT_EQ(out[at], 0xF0);
      ASSERT_EQ(out[at + n - 1], 0xF7);
      at += n;
    }
  };

  Track music;
  music.Delta(0).Raw({0x90, 0x3C, 0x64}).Delta(5).Raw({0x3C, 0x00}).Delta(0).Sysex({0xF0, 0x01, 0xF7});
  music.Delta(0).Sysex({0xF0, 0x02}).Delta(0).F7({0x03, 0xF7}).Delta(0).Meta(0x01, "text").End();
  const Bytes seeds[] = {ToMidi(Dumps(3)), MakeSmf(1, {music, music}), RiffMidi(MakeSmf(0, {music}))};
  for (const Bytes& seed : seeds) {
    for (std::size_t cut = 0; cut <= seed.size(); ++cut) check(Bytes(seed.begin(), seed.begin() + cut));
    for (int i = 0; i < 1500; ++i) {
      Bytes b = seed;
      const int flips = 1 + static_cast<int>(rng() % 8);
      for (int f = 0; f < flips; ++f) b[rng() % b.size()] = static_cast<std::uint8_t>(rng());
      check(b);
    }
  }
  for (int i = 0; i < 1500; ++i) {
    Bytes b(rng() % 600);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng() % 3 == 0 ? 0xF0 + rng() % 16 : rng());
    if (i % 2 == 0 && b.size() >= 14) {
      const Bytes head = MakeSmf(static_cast<int>(rng() % 3), {});
      std::copy(head.begin(), head.end(), b.begin());
    }
    check(b);
  }
}

TEST(SysexToMidi, FramesByMessagesAndLeavesOutAllButSoundDumps) {
  // A GM reset in front of three dumps, a cut-off dump and junk between them:
  // fixed 392-byte blocks would misframe every sound after the first byte.
  const Bytes gmReset{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  const Bytes d = Dumps(3);
  const Bytes cut(d.begin(), d.begin() + 100);
  const Bytes mixed = Concat({gmReset, Bytes(d.begin(), d.begin() + 392), {0x00, 0x55}, cut,
                              Bytes(d.begin() + 392, d.end())});
  EXPECT_EQ(ToMidi(mixed), ToMidi(d));

  test::TempDir dir;
  test::WriteAll(dir / "mixed.syx", mixed);
  auto r = ConvertFile(ConvertMode::SysexToMidi, dir / "mixed.syx", dir / "mixed.mid", nullptr);
  ASSERT_TRUE(r);
  EXPECT_EQ(ConvertReport(ConvertMode::SysexToMidi, *r),
            "3 sounds written; left out: 2 messages that are no sound dumps, 102 bytes outside the messages");
  // And back: the dumps alone, the GM reset counted.
  test::WriteAll(dir / "gm.mid", ToMidi(d));
  Bytes withReset = test::ReadAll(dir / "gm.mid");
  const Bytes resetEvent = Concat({{0x00, 0xF0, 0x05}, Bytes(gmReset.begin() + 1, gmReset.end())});
  withReset.insert(withReset.begin() + 22, resetEvent.begin(), resetEvent.end());
  withReset[21] = static_cast<std::uint8_t>(withReset[21] + resetEvent.size());
  test::WriteAll(dir / "gm.mid", withReset);
  r = ConvertFile(ConvertMode::MidiToSysex, dir / "gm.mid", dir / "gm.syx", nullptr);
  ASSERT_TRUE(r);
  EXPECT_EQ(ConvertReport(ConvertMode::MidiToSysex, *r), "3 sound dumps written; left out: 1 other SysEx message");
  EXPECT_EQ(test::ReadAll(dir / "gm.syx").size(), 3u * 392u);
}

TEST(ConvertFile, AsksBeforeReplacingAndNeverLeavesAPartialFile) {
  test::TempDir dir;
  const auto syx = dir / "bank.syx";
  const auto mid = dir / "bank.syx.mid";
  test::WriteAll(syx, Dumps(4));

  // Written fresh without a question.
  int asked = 0;
  auto yes = [&] { ++asked; return true; };
  auto no = [&] { ++asked; return false; };
  auto r = ConvertFile(ConvertMode::SysexToMidi, syx, mid, yes);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->messages, 4u);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(test::ReadAll(mid), ToMidi(Dumps(4)));

  // An existing target: No leaves it alone, Yes replaces it.
  test::WriteAll(mid, {1, 2, 3});
  EXPECT_FALSE(ConvertFile(ConvertMode::SysexToMidi, syx, mid, no));
  EXPECT_EQ(test::ReadAll(mid), (Bytes{1, 2, 3}));
  EXPECT_FALSE(ConvertFile(ConvertMode::SysexToMidi, syx, mid, nullptr));
  EXPECT_TRUE(ConvertFile(ConvertMode::SysexToMidi, syx, mid, yes));
  EXPECT_EQ(asked, 2);

  const auto back = dir / "back.syx";
  r = ConvertFile(ConvertMode::MidiToSysex, mid, back, no);
  ASSERT_TRUE(r);
  EXPECT_EQ(test::ReadAll(back).size(), 4u * 392u);

  // A broken source: the error names it, the old target stays as it was and
  // no temporary file is left behind.
  const auto broken = dir / "broken.mid";
  Bytes cut = test::ReadAll(mid);
  cut.resize(300);
  test::WriteAll(broken, cut);
  r = ConvertFile(ConvertMode::MidiToSysex, broken, back, yes);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->messages, 0u);
  EXPECT_EQ(ConvertReport(ConvertMode::MidiToSysex, *r),
            "no sound dump found; left out: 1 message cut off; damaged file: the MIDI file is cut off at byte 300");
  EXPECT_EQ(test::ReadAll(back).size(), 4u * 392u);
  int files = 0;
  for (auto& entry : std::filesystem::directory_iterator(dir.Path())) files += entry.is_regular_file();
  EXPECT_EQ(files, 4);

  // A missing source or an unwritable target folder: errors naming the file.
  const auto missing = dir / "missing.syx";
  EXPECT_THROW(ConvertFile(ConvertMode::SysexToMidi, missing, dir / "x.mid", yes), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(dir / "x.mid"));
  EXPECT_THROW(ConvertFile(ConvertMode::SysexToMidi, syx, dir / "no-such-folder" / "x.mid", yes), std::runtime_error);
}

}  // namespace
}  // namespace tarvix
