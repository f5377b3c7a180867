// The message builders and the assembler, and the port layer against a fake platform driver.
#include <gtest/gtest.h>

#include <thread>

#include "library/InitSound.h"
#include "midi/ChannelMessages.h"
#include "midi/ManualScheduler.h"
#include "midi/MidiAssembler.h"
#include "midi/MidiService.h"
#include "midi/PartsTree.h"
#include "midi/RequestStack.h"
#include "midi/SysExMessages.h"
#include "midi/VirtualInstrument.h"
#include "tests/midi/MidiFakes.h"

namespace tarvix {
namespace {

using test::Bytes;

template <class Range>
Bytes B(const Range& r) { return Bytes(std::begin(r), std::end(r)); }

TEST(SysExMessages, RequestsParameterChangesAndEditBufferSoundsAreByteExact) {
  EXPECT_EQ(B(GlobalRequestMessage(127)), Bytes({0xF0, 0x3E, 0x13, 0x7F, 0x04, 0xF7}));
  // A top-bit value never breaks framing.
  EXPECT_EQ(ParameterChangeMessage(5, 0, 382, 0xE9)[8], 0x69);
  EXPECT_THROW(ParameterChangeMessage(0, 0, 383, 0), std::invalid_argument);
  EXPECT_THROW(ParameterChangeMessage(0, 0, -1, 0), std::invalid_argument);

  test::RecordingOut out;
  EXPECT_FALSE(SoundRequest(out, 0, 0xFF, 3));  // an empty stack pops FF: nothing goes out
  EXPECT_FALSE(SoundRequest(out, 0, 3, 0xFF));
  EXPECT_TRUE(out.sent.empty());
  EXPECT_TRUE(SoundRequest(out, 9, 1, 2));
  EXPECT_EQ(out.sent.back(), Bytes({0xF0, 0x3E, 0x13, 0x09, 0x00, 0x01, 0x02, 0x7F, 0xF7}));

  SoundData s = MakeDefaultInitSound();
  s[offs::kDeviceId] = 3;
  s[offs::kBank] = 1;
  s[offs::kName] = 0xE9;  // a Latin-1 name read from a file
  SendSoundToEditBuffer(out, s);
  const Bytes& eb = out.sent.back();
  // The sound's own device byte, the edit buffer's address, seven-bit data and no checksum.
  EXPECT_EQ(Bytes(eb.begin() + 3, eb.begin() + 7), (Bytes{3, 0x10, 0x7F, 0x00}));
  EXPECT_EQ(eb[offs::kName], 0x69);
  EXPECT_EQ(eb[390], 0x7F);

  // 7F in place of the checksum passes until the instrument has shown that it sends real ones.
  SoundData wildcard = VirtualInstrument::DemoSound(5);
  wildcard[offs::kChecksum] = 0x7F;
  EXPECT_STREQ(SoundDumpDefect(wildcard.bytes), "");
  wildcard[offs::kEnd] = 0x00;  // a longer message cut to a dump's length
  EXPECT_STREQ(SoundDumpDefect(wildcard.bytes), "no end byte");
}

TEST(ChannelMessages, NoteOffAndPanicOrder) {
  test::RecordingOut out;  // the other channel messages are checked on their way through the port layer
  NoteOff(out, 2, 60);
  EXPECT_EQ(out.sent, (std::vector<Bytes>{{0x82, 60, 0}}));

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
  EXPECT_EQ(PartsTreeEntries(g, blofeld), std::vector<std::string>{"Part 01  -  A001 Slot0" + std::string(11, ' ')});
  g.SetMultiMode(true);
  g.SetPartSound(2, 130);
  g.SetPartSound(15, 1023);
  const auto e = PartsTreeEntries(g, blofeld);
  ASSERT_EQ(e.size(), 16u);
  EXPECT_EQ(e[2].substr(0, 22), "Part 03  -  B003 Slot1");
  EXPECT_EQ(e[15].substr(0, 25), "Part 16  -  H128 Slot1023");
  g.bytes[GlobalData::PartBankOffset(4)] = 0x40;  // damaged data names no slot and does not crash
  EXPECT_EQ(PartsTreeEntries(g, blofeld)[4].substr(0, 17), "Part 05  -  \x81" "001 ");
  EXPECT_EQ(KeyboardChannel(2, 16), 2);
  EXPECT_EQ(KeyboardChannel(-1, 16), 0);
  EXPECT_EQ(KeyboardChannel(3, 1), 0);
}

struct FakeDriver : MidiDriver {
  std::vector<std::string> inputs, outputs;
  bool failOutput = false, failStart = false;
  std::vector<Bytes> sent;  // on any fake output
  std::map<std::string, InputCallback> callbacks;  // by input name, while started

  struct Out : MidiOutputPort {
    FakeDriver* d;
    explicit Out(FakeDriver* d) : d(d) {}
    void Send(std::span<const std::uint8_t> b) override { d->sent.emplace_back(b.begin(), b.end()); }
  };
  struct In : MidiInputPort {
    FakeDriver* d;
    std::string name;
    InputCallback cb;
    In(FakeDriver* d, std::string name, InputCallback cb) : d(d), name(std::move(name)), cb(std::move(cb)) {}
    void Start() override {
      if (d->failStart) throw MidiError("cannot start");
      d->callbacks[name] = cb;
    }
    void Stop() override { d->callbacks.erase(name); }
  };
  std::vector<std::string> InputNames() override { return inputs; }
  std::vector<std::string> OutputNames() override { return outputs; }
  std::unique_ptr<MidiOutputPort> OpenOutput(int index, const std::string& name) override {
    if (failOutput || outputs.at(static_cast<std::size_t>(index)) != name) throw MidiError("port is gone");
    return std::make_unique<Out>(this);
  }
  std::unique_ptr<MidiInputPort> OpenInput(int index, const std::string& name, InputCallback cb) override {
    if (inputs.at(static_cast<std::size_t>(index)) != name) throw MidiError("port is gone");
    return std::make_unique<In>(this, name, std::move(cb));
  }
};

struct RecordingHandler : MidiInputHandler {
  std::vector<Bytes> shorts, longs;
  void OnShortMessage(std::uint8_t s, std::uint8_t a, std::uint8_t b) override { shorts.push_back({s, a, b}); }
  void OnLongData(std::span<const std::uint8_t> r) override { longs.emplace_back(r.begin(), r.end()); }
};

class Service : public ::testing::Test {
 protected:
  Service() {
    driver.inputs = {"Keyboard", "Waldorf Blofeld 1", "Waldorf Blofeld 2", "Other"};
    driver.outputs = {"Blofeld MIDI 1", "Synth", "USB2 Audio"};
    svc.SetInstrumentHandler(&handler);
  }
  FakeDriver driver;
  VirtualInstrument vi;
  ManualScheduler clock;
  MemoryLog log;
  RecordingHandler handler;
  MidiService svc{&driver, vi, clock, log};
};

TEST_F(Service, DeviceListsDefaultsAndStoredNames) {
  svc.EnumerateDevices();
  ASSERT_EQ(svc.InputDevices.size(), 5u);
  EXPECT_EQ(svc.InputDevices[4], (TMidiDeviceList{"Other", 4}));

  auto numbers = [&] { return std::tuple(svc.Ports.inNumber, svc.Ports.outNumber, svc.Ports.controllerNumber); };
  svc.Ports.controllerNumber = 1;
  svc.MatchDefaultDevices();
  // The later of two matching inputs; "USB2 Audio" after "Blofeld MIDI 1".
  EXPECT_EQ(numbers(), std::tuple(3, 3, 1));
  EXPECT_TRUE(svc.Ports.inName.empty());

  svc.Ports.inName = "Other";
  svc.Ports.controllerName = "Keyboard";
  svc.Ports.outName = "No Longer There";
  svc.ResolveDeviceNumbers();
  EXPECT_EQ(numbers(), std::tuple(4, 3, 1));  // a missing name keeps the number

  // No driver at all: the virtual instrument alone, matching nothing.
  MidiService bare(nullptr, vi, clock, log);
  bare.EnumerateDevices();
  bare.MatchDefaultDevices();
  EXPECT_EQ(bare.OutputDevices.size(), 1u);
  EXPECT_EQ(bare.Ports.outNumber, 0);
}

TEST_F(Service, FailedOutputFallsBackToTheVirtualInstrument) {
  svc.EnumerateDevices();
  svc.Ports.outNumber = 2;
  driver.failOutput = true;
  EXPECT_FALSE(svc.OpenOutput());
  EXPECT_FALSE(svc.OutputOpen());
  EXPECT_EQ(log.lines.back(), "Midi Open error: port is gone");
  svc.SendShort(0x90, 60, 1);  // a closed output takes nothing and does not fail
  svc.OpenVirtualOutput();
  EXPECT_EQ(svc.Ports.outNumber, 0);
  SoundData edited = VirtualInstrument::DemoSound(9);
  edited[offs::kBank] = 0x7F;
  svc.SendLong(edited.bytes);
  EXPECT_EQ(vi.EditBuffer(), edited);
  // A number beyond the list fails cleanly too.
  svc.Ports.outNumber = 42;
  driver.failOutput = false;
  EXPECT_FALSE(svc.Reopen().outputOpened);
}

TEST_F(Service, ControllerInputOnlyWhenNamedAndEveryMessageLeavesWhole) {
  svc.EnumerateDevices();
  svc.Ports.outNumber = 2;  // "Synth"
  ASSERT_TRUE(svc.OpenOutput());
  svc.Ports.inNumber = 2;
  svc.Ports.controllerNumber = 1;
  EXPECT_TRUE(svc.OpenInputs().empty());
  EXPECT_TRUE(svc.InstrumentInputOpen());
  EXPECT_FALSE(svc.ControllerInputOpen());  // no controller name stored

  svc.CloseInputs();
  svc.Ports.controllerName = "Keyboard";
  EXPECT_TRUE(svc.OpenInputs().empty());
  ASSERT_TRUE(svc.ControllerInputOpen());
  // On the controller's own thread: passed on at once, unchanged, no hand-over to the interface thread needed. A
  // sequencer's timing reaches the instrument unchanged too: clock, start, continue, stop, time code, song position,
  // active sensing, a clock in the middle of a note. SysEx is not passed; a message split in two is joined.
  const std::vector<Bytes> timing{{0xFA}, {0xF8}, {0xFC}, {0xFB}, {0xF1, 0x23}, {0xF2, 0x10, 0x02}, {0xFE}, {0xF6}};
  std::thread t([&] {
    for (const Bytes& m : std::vector<Bytes>{{0x93, 0x40, 0x7F}, {0xF0, 0x01, 0xF7}, {0xE0, 0x00}, {0x40}})
      driver.callbacks["Keyboard"](m);
    for (const Bytes& m : timing) driver.callbacks["Keyboard"](m);
    driver.callbacks["Keyboard"](Bytes{0x90, 0x3C, 0xF8, 0x40});
  });
  t.join();
  std::vector<Bytes> expected{{0x93, 0x40, 0x7F}, {0xE0, 0x00, 0x40}};
  expected.insert(expected.end(), timing.begin(), timing.end());
  expected.insert(expected.end(), {{0xF8}, {0x90, 0x3C, 0x40}});
  EXPECT_EQ(driver.sent, expected);
  EXPECT_EQ(clock.RunReady(), 0);
  // The instrument's own input keeps none of it: nothing for the interface thread.
  driver.callbacks["Waldorf Blofeld 1"](Bytes{0xF8, 0xFE, 0xF1, 0x10, 0xF2, 0x00, 0x00});
  EXPECT_EQ(clock.RunReady(), 0);

  // Channel messages leave with their own length: by running status a third byte after a program change would be a
  // second program change.
  driver.sent.clear();
  ProgramChange(svc, 2, 0x05);
  BankSelect(svc, 2, 1);
  NoteOn(svc, 15, 60, 0);
  svc.SendShort(0xD3, 0x22, 0x00);  // channel pressure: one data byte as well
  EXPECT_EQ(driver.sent, (std::vector<Bytes>{{0xC2, 0x05}, {0xB2, 0x00, 0x01}, {0x9F, 60, 0x00}, {0xD3, 0x22}}));

  svc.CloseInputs();
  driver.failStart = true;
  EXPECT_EQ(svc.OpenInputs(), (std::vector<std::string>{"Midi IN Start error", "Midi Controller IN Start error"}));
  EXPECT_FALSE(svc.InstrumentInputOpen());
}

TEST_F(Service, ReceiveBufferIsArmedPerMessageAndHandedToTheInterfaceThread) {
  svc.EnumerateDevices();
  EXPECT_FALSE(svc.PrepareReceive(392));
  EXPECT_EQ(log.lines.back(), "ADDBUFFER error5:0");
  svc.Ports.inNumber = 1;  // "Keyboard"
  svc.OpenInputs();
  EXPECT_FALSE(svc.PrepareReceive(0));
  EXPECT_EQ(log.lines.back(), "INPREPARE error11");
  EXPECT_FALSE(svc.PrepareReceive(3921));
  ASSERT_TRUE(svc.PrepareReceive(784));

  const SoundData s = VirtualInstrument::DemoSound(3);
  std::thread t([&] {
    auto& cb = driver.callbacks["Keyboard"];
    cb(Bytes{0xB0, 0x4A, 0x10});              // a controller before the dump
    cb(std::span(s.bytes).subspan(0, 200));  // a dump in two chunks
    cb(std::span(s.bytes).subspan(200));
    cb(std::span(s.bytes));                   // a second dump: no buffer armed for it
  });
  t.join();
  EXPECT_TRUE(handler.longs.empty());  // nothing is handled on the MIDI thread
  clock.RunReady();
  EXPECT_EQ(handler.longs, std::vector<Bytes>{Bytes(s.bytes.begin(), s.bytes.end())});  // 392 recorded of 784 offered
  EXPECT_EQ(handler.shorts, (std::vector<Bytes>{{0xB0, 0x4A, 0x10}}));
  EXPECT_EQ(svc.UnexpectedMessages(), 1);
}

}  // namespace
}  // namespace tarvix
