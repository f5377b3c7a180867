#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "library/SoundData.h"
#include "midi/MidiFileConverter.h"
#include "midi/MidiToSysex.h"
#include "midi/SysexToMidi.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

using Bytes = std::vector<std::uint8_t>;

void AppendVlq(Bytes& out, std::uint32_t v) {
  Bytes tmp{static_cast<std::uint8_t>(v & 0x7F)};
  while (v >>= 7) tmp.push_back(static_cast<std::uint8_t>(0x80 | (v & 0x7F)));
  out.insert(out.end(), tmp.rbegin(), tmp.rend());
}

void AppendBE(Bytes& out, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A track of a Standard MIDI File byte by byte, the way other programs write them: meta events, running status, SysEx
// as F0 events, divided packets and F7 escapes.
class Track {
 public:
  Track& Raw(const Bytes& b) {
    data.insert(data.end(), b.begin(), b.end());
    return *this;
  }
  Track& Delta(std::uint32_t ticks) {
    AppendVlq(data, ticks);
    return *this;
  }
  Track& Meta(std::uint8_t type, const std::string& text) {
    Raw({0xFF, type});
    return Event(Bytes(text.begin(), text.end()));
  }
  // An F0 event: `msg` is the whole message as sent, F0 included.
  Track& Sysex(const Bytes& msg) {
    data.push_back(0xF0);
    return Event(Bytes(msg.begin() + 1, msg.end()));
  }
  // An F7 event with its payload as given (continuation or escape).
  Track& F7(const Bytes& payload) {
    data.push_back(0xF7);
    return Event(payload);
  }
  Track& End() { return Raw({0x00, 0xFF, 0x2F, 0x00}); }
  Bytes data;

 private:
  Track& Event(const Bytes& payload) {  // its length, then the bytes
    AppendVlq(data, static_cast<std::uint32_t>(payload.size()));
    return Raw(payload);
  }
};

Bytes MakeSmf(int format, const std::vector<Track>& tracks, int declaredTracks = -1) {
  Bytes out{'M', 'T', 'h', 'd', 0, 0, 0, 6};
  AppendBE(out, static_cast<std::uint32_t>(format), 2);
  AppendBE(out, static_cast<std::uint32_t>(declaredTracks < 0 ? tracks.size() : declaredTracks), 2);
  AppendBE(out, 480, 2);
  for (const Track& t : tracks) {
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    AppendBE(out, static_cast<std::uint32_t>(t.data.size()), 4);
    out.insert(out.end(), t.data.begin(), t.data.end());
  }
  return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

// n sound dumps of random data, the first numbered `first`.
Bytes Dumps(int n, int first = 0) {
  Bytes all;
  for (int index = first; index < first + n; ++index) {
    SoundData s;
    std::mt19937 rng(static_cast<unsigned>(index));
    for (auto& b : s.bytes) b = static_cast<std::uint8_t>(rng() & 0x7F);
    const Bytes head{0xF0, 0x3E, 0x13, 0x00, 0x10, std::uint8_t(index / 128 % 8), std::uint8_t(index % 128)};
    std::copy(head.begin(), head.end(), s.bytes.begin());
    s[offs::kChecksum] = ChecksumOf(s);
    s[offs::kEnd] = 0xF7;
    all.insert(all.end(), s.bytes.begin(), s.bytes.end());
  }
  return all;
}
Bytes Dump(int index) { return Dumps(1, index); }
// What comes back from a MIDI file: the dumps with 7F, "do not check", in place of their checksums.
Bytes Unchecked(Bytes dumps) {
  for (std::size_t k = 0; k + kSoundSize <= dumps.size(); k += kSoundSize) dumps[k + offs::kChecksum] = 0x7F;
  return dumps;
}

Bytes ToMidi(const Bytes& sysex) {
  Bytes out;
  std::istringstream in(std::string(sysex.begin(), sysex.end()), std::ios::binary);
  SysexToMidi(in, [&](std::span<const std::uint8_t> b) { out.insert(out.end(), b.begin(), b.end()); });
  return out;
}

Bytes ToSysex(const Bytes& midi, MidiToSysexResult* result = nullptr,
              std::size_t max = SysexAssembler::kDefaultMaxMessage) {
  Bytes out;
  std::istringstream in(std::string(midi.begin(), midi.end()), std::ios::binary);
  const auto r = MidiToSysex(
      in, [&](std::span<const std::uint8_t> b) { out.insert(out.end(), b.begin(), b.end()); }, max);
  if (result) *result = r;
  return out;
}

// The counts of a conversion in one line, so a case checks them all at once.
std::string Counts(const MidiToSysexResult& r) {
  return "messages " + std::to_string(r.messages) + ", incomplete " + std::to_string(r.incomplete) + ", skipped " +
         std::to_string(r.skipped) + (r.standardMidiFile ? ", SMF" : "");
}

TEST(SysexToMidi, WritesOneFormatZeroTrackWithAnEventPerDump) {
  const Bytes sysex = Dumps(10);
  const Bytes midi = ToMidi(sysex);
  ASSERT_EQ(midi.size(), 3976u);
  EXPECT_EQ(MidiFileSizeFor(sysex.size()), 3976u);
  // Header, format 0, one track, 96 ticks a quarter; the track is 3954 bytes. Each event: delta time, F0, the length
  // 391 and the dump's bytes 1..390 (its own F0 and F7 are not repeated).
  EXPECT_EQ(Bytes(midi.begin(), midi.begin() + 26),
            (Bytes{'M',  'T', 'h', 'd', 0,   0, 0, 6,    0,    0,    0,    1,    0,
                   0x60, 'M', 'T', 'r', 'k', 0, 0, 0x0F, 0x72, 0x00, 0xF0, 0x83, 0x07}));
  EXPECT_EQ(Bytes(midi.begin() + 22 + 394, midi.begin() + 22 + 400), (Bytes{0xF7, 0x18, 0xF0, 0x83, 0x07, sysex[393]}));
  EXPECT_EQ(Bytes(midi.end() - 4, midi.end()), (Bytes{0x18, 0xFF, 0x2F, 0x00}));

  // An empty file gives a track with its end alone, which converts back to nothing.
  const Bytes empty = ToMidi({});
  EXPECT_EQ(Bytes(empty.begin() + 18, empty.end()), (Bytes{0, 0, 0, 4, 0x18, 0xFF, 0x2F, 0x00}));
  EXPECT_TRUE(ToSysex(empty).empty());
}

TEST(MidiToSysex, ReadsFilesOfOtherProgramsAndKeepsOnlyTheSoundDumps) {
  const Bytes gmReset{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  const Bytes roland{0xF0, 0x41, 0x10, 0x42, 0x12, 0x40, 0x00, 0x7F, 0x00, 0x41, 0xF7};
  Bytes longMsg{0xF0, 0x43}, divided{0xF0, 0x00, 0x20, 0x33};
  for (int i = 0; i < 20000; ++i) longMsg.push_back(static_cast<std::uint8_t>(i % 128));  // a 3-byte length
  longMsg.push_back(0xF7);
  for (int i = 0; i < 300; ++i) divided.push_back(static_cast<std::uint8_t>(i % 100));
  divided.push_back(0xF7);

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
  packets.Delta(0).Sysex(Bytes(divided.begin(), divided.begin() + 100));
  packets.Delta(10).F7(Bytes(divided.begin() + 100, divided.begin() + 250));
  packets.Delta(10).F7(Bytes(divided.begin() + 250, divided.end())).Delta(0).Sysex(Dump(5)).End();

  Bytes file = MakeSmf(1, {conductor, music, packets});
  // An unknown chunk between tracks is skipped whole.
  const Bytes alien{'X', 'f', 'I', 'h', 0, 0, 0, 3, 0xF0, 0x01, 0xF7};
  file.insert(file.begin() + 14, alien.begin(), alien.end());

  // Four messages of other devices read whole (and then left out), so the dump behind them comes out exactly.
  MidiToSysexResult r;
  EXPECT_EQ(ToSysex(file, &r), Unchecked(Dump(5)));
  EXPECT_EQ(Counts(r), "messages 1, incomplete 0, skipped 4, SMF");
  EXPECT_TRUE(r.damage.empty()) << r.damage;

  // A RIFF MIDI file is unwrapped; a RIFF file of another kind is scanned like any file without a header, and the INFO
  // chunk's F0 01 02 F7 counts.
  const Bytes smf = MakeSmf(0, {Track().Delta(0).Sysex(Dump(9)).End()});
  auto le = [](std::size_t v) {
    return Bytes{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
  };
  const Bytes body = Concat({{'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'}, le(smf.size()), smf, {'L', 'I', 'S', 'T'}, le(4),
                             {0xF0, 0x01, 0x02, 0xF7}});
  const Bytes riff = Concat({{'R', 'I', 'F', 'F'}, le(body.size()), body});
  EXPECT_EQ(ToSysex(riff, &r), Unchecked(Dump(9)));
  EXPECT_EQ(Counts(r), "messages 1, incomplete 0, skipped 0, SMF");
  Bytes wave = riff;
  std::copy_n("WAVE", 4, wave.begin() + 8);
  EXPECT_EQ(ToSysex(wave, &r), Unchecked(Dump(9)));
  EXPECT_EQ(Counts(r), "messages 1, incomplete 0, skipped 1");
}

TEST(MidiToSysex, RecoversEveryCompleteDumpFromDamagedFiles) {
  const Bytes midi = ToMidi(Dumps(3));
  const Bytes expected3 = Unchecked(Dumps(3));
  const Bytes expected2(expected3.begin(), expected3.begin() + 2 * 392);
  constexpr std::size_t kThirdEvent = 22 + 2 * 395;

  Bytes overshoot(midi.begin(), midi.end() - 4);  // no end of track ...
  overshoot[19] = 0x01;                          // ... and a track length far past the file
  Bytes stray = midi;
  stray.insert(stray.begin() + kThirdEvent + 1, 0xF4);  // after the third event's delta time
  auto threeDumps = [](Track t) {
    return t.Delta(0).Sysex(Dump(0)).Delta(0).Sysex(Dump(1)).Delta(0).Sysex(Dump(2)).End();
  };
  const Track whole = threeDumps(Track());
  Track noStatus;
  noStatus.Delta(0).Sysex(Dump(0)).Delta(0).Raw({0x40, 0x40}).Delta(0).Sysex(Dump(1)).Delta(0).Sysex(Dump(2)).End();
  // One message open at the end of its track, one replaced by the next.
  Track openEnded;
  openEnded.Delta(0).Sysex({0xF0, 0x11, 0x22}).End();
  const Track replaced = threeDumps(Track().Delta(0).Sysex({0xF0, 0x33}));
  // A message longer than the capture limit is reported, not a silent loss; the dump before it is kept.
  Bytes big(1001, 0x01);
  big.front() = 0xF0;
  big.push_back(0xF7);
  // After a proper end of track, a length past the file and zero padding are harmless.
  Bytes longLast = MakeSmf(0, {whole}), padded = longLast;
  longLast[21] += 40;
  padded.insert(padded.end(), 5, 0x00);

  struct Case {
    const char* what;
    Bytes file, out;
    std::size_t incomplete;
    const char* reason;  // in the damage report; none: no damage
    std::size_t max = SysexAssembler::kDefaultMaxMessage;
  };
  const Case cases[] = {
      {"last dump cut off", Bytes(midi.begin(), midi.begin() + kThirdEvent + 200), expected2, 1, "cut off"},
      {"track length past the end", overshoot, expected3, 0, "cut off"},
      {"fewer tracks than the header says", MakeSmf(1, {whole}, 3), expected3, 0, "1 of its 3 tracks"},
      {"stray status byte between dumps", stray, expected3, 0, "unexpected status byte"},
      {"data bytes without a status", MakeSmf(0, {noStatus}), expected3, 0, "without a status"},
      {"header cut off", Bytes(midi.begin(), midi.begin() + 10), {}, 0, "cut off"},
      {"messages that never end", MakeSmf(1, {openEnded, replaced}), expected3, 2, nullptr},
      {"last track's length past the file", longLast, expected3, 0, nullptr},
      {"zero padding", padded, expected3, 0, nullptr},
      {"message over the limit", MakeSmf(0, {Track().Delta(0).Sysex(Dump(0)).Delta(0).Sysex(big).End()}),
       Bytes(expected3.begin(), expected3.begin() + 392), 1, "longer than 512", 512},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MidiToSysexResult r;
    EXPECT_EQ(ToSysex(c.file, &r, c.max), c.out);
    EXPECT_EQ(r.messages, c.out.size() / 392);
    EXPECT_EQ(r.incomplete, c.incomplete);
    if (c.reason)
      EXPECT_NE(r.damage.find(c.reason), std::string::npos) << r.damage;
    else
      EXPECT_EQ(r.damage, "");
  }
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
  MidiToSysexResult r;
  EXPECT_EQ(ToSysex(Concat({junk, event, junk, shortEvent, plain, dump, {0xF0, 0x01, 0x02}}), &r),
            Unchecked(Concat({dump, dump})));
  // The Roland message and the plain one are no sound dumps; the F0 at the end never finished.
  EXPECT_EQ(Counts(r), "messages 2, incomplete 1, skipped 2");
}

TEST(SysexToMidi, FramesByMessagesAndLeavesOutAllButSoundDumps) {
  // A GM reset in front of three dumps, a cut-off dump and junk between them: fixed 392-byte blocks would misframe
  // every sound after the first byte.
  const Bytes gmReset{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
  const Bytes d = Dumps(3);
  const Bytes first(d.begin(), d.begin() + 392), cutOff(d.begin(), d.begin() + 100), rest(d.begin() + 392, d.end());
  const Bytes mixed = Concat({gmReset, first, {0x00, 0x55}, cutOff, rest});
  EXPECT_EQ(ToMidi(mixed), ToMidi(d));

  test::TempDir dir;
  test::WriteAll(dir / "mixed.syx", mixed);
  auto r = ConvertFile(ConvertMode::SysexToMidi, dir / "mixed.syx", dir / "mixed.mid", nullptr);
  ASSERT_TRUE(r);
  EXPECT_EQ(ConvertReport(ConvertMode::SysexToMidi, *r),
            "3 sounds written; left out: 2 messages that are no sound dumps, 102 bytes outside the messages");
  // And back: the dumps alone, the GM reset counted.
  test::WriteAll(dir / "gm.mid", MakeSmf(0, {Track().Delta(0).Sysex(gmReset).Delta(0).Sysex(Dump(0)).End()}));
  r = ConvertFile(ConvertMode::MidiToSysex, dir / "gm.mid", dir / "gm.syx", nullptr);
  ASSERT_TRUE(r);
  EXPECT_EQ(ConvertReport(ConvertMode::MidiToSysex, *r), "1 sound dump written; left out: 1 other SysEx message");
}

}  // namespace
}  // namespace tarvix
