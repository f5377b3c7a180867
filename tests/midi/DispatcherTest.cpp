// The receive dispatcher against a scripted instrument on a manual clock, then the whole link in one process:
// dispatcher -> port layer -> the built-in instrument on its own thread -> back through the interface-thread hand-over.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "library/InitSound.h"
#include "midi/EventLoop.h"
#include "midi/ReceiveDispatcher.h"
#include "tests/midi/MidiFakes.h"
#include "tests/support/Sounds.h"
#include "tests/support/TempDir.h"

namespace tarvix {
namespace {

using test::Bytes;
using Reply = std::optional<Bytes>;

Bytes DumpFor(int bank, int program, int contentIndex) {
  SoundData s = VirtualInstrument::DemoSound(contentIndex);
  s[offs::kBank] = static_cast<std::uint8_t>(bank);
  s[offs::kProgram] = static_cast<std::uint8_t>(program);
  s[offs::kChecksum] = ChecksumOf(s);
  return Bytes(s.bytes.begin(), s.bytes.end());
}
void ResetSlots(BankSet& blofeld) {
  for (int i = 0; i < kSlotCount; ++i) {
    blofeld.Sound(i) = MakeDefaultInitSound();
    blofeld.SetChanged(i, true);
  }
}
// The dialog's timer runs for the program's life, here from t = 0.
void StartDialogTicks(Scheduler& clock, ReceiveDispatcher& d, std::function<void()>& tick) {
  tick = [&] {
    d.DialogTick();
    clock.runAfter(receiver_text::kTickMs, tick);
  };
  clock.runAfter(receiver_text::kTickMs, tick);
}
// Every line is in the log (a line ending in "*" matches as a prefix).
void ExpectLogged(const MemoryLog& log, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const bool prefix = line.back() == '*';
    const std::string want = prefix ? line.substr(0, line.size() - 1) : line;
    EXPECT_TRUE(std::any_of(log.lines.begin(), log.lines.end(), [&](const std::string& l) {
      return prefix ? l.rfind(want, 0) == 0 : l == want;
    })) << line;
  }
}

class Dispatcher : public ::testing::Test {
 protected:
  Dispatcher() {
    link.handler = &d;
    d.MidiDelayMs = 250;
    d.FastRead = false;  // the pacing tests count MIDI delays; fast reads have their own
    ResetSlots(blofeld);
    StartDialogTicks(clock, d, tick);
  }
  bool RunUntilClosed(std::int64_t maxMs) {
    for (std::int64_t t = 0; ui.modal && t < maxMs; t += 50) clock.Advance(50);
    return !ui.modal;
  }
  void ExpectLog(const std::vector<std::string>& lines) { ExpectLogged(log, lines); }
  std::vector<std::int64_t> RequestTimes(int exceptProgram = -1) {
    std::vector<std::int64_t> times;
    for (auto& [t, m] : link.sentAt)
      if (m.size() == 9 && m[6] != exceptProgram) times.push_back(t);
    return times;
  }
  static void ExpectPaced(const std::vector<std::int64_t>& times) {
    for (std::size_t i = 1; i < times.size(); ++i) ASSERT_GE(times[i] - times[i - 1], 250) << i;
  }
  auto Done() { return [this] { ++doneCalls; }; }

  ManualScheduler clock;
  test::ScriptedLink link{clock};
  test::FakeReceiverUi ui;
  MemoryLog log;
  BankSet blofeld;
  ReceiveDispatcher d{blofeld, link, clock, ui, log};
  std::function<void()> tick;
  int doneCalls = 0;
};

TEST_F(Dispatcher, BankReadsChainPacedRequestsAndStoreEachReplyByItsOwnBytes) {
  link.answer = [](const Bytes& req) -> Reply { return DumpFor(req[5], req[6], 500 + req[6]); };
  blofeld.CurrentIndex = 9;
  d.ReadBank(1, Done());
  ASSERT_TRUE(RunUntilClosed(128 * 300 + 3000));
  EXPECT_EQ(doneCalls, 1);
  EXPECT_FALSE(d.Receiving());
  ASSERT_EQ(link.SoundRequests().size(), 128u);
  for (int p = 0; p < 128; ++p) {
    EXPECT_EQ(blofeld.Sound(128 + p), SoundData::FromBytes(DumpFor(1, p, 500 + p))) << p;
    EXPECT_FALSE(blofeld.Changed(128 + p));
  }
  EXPECT_TRUE(blofeld.Changed(0));  // other banks untouched
  EXPECT_EQ(ui.labels[4].rfind("Received 3 of 128 (0:01 elapsed, about 0:", 0), 0u) << ui.labels[4];
  EXPECT_EQ(ui.labels.back(), "Received 128 of 128 (0:32 elapsed)");
  ExpectLog({"Received all 128 sound(s)", "Bank/Patch:1/127 9", "Rec Bank: B Sound:128",
             "The instrument sends checksums; 7F is no longer taken in their place"});
  ExpectPaced(RequestTimes());
}

TEST_F(Dispatcher, SilentInstrumentEndsReadsByThemselvesNamingEverySlot) {
  link.silent = true;
  blofeld.CurrentIndex = 7;
  d.ReadCurrentSound(130, Done());
  // Asked, asked again after 500 ms, given up after 1000 more; then three more rounds of the same.
  ASSERT_TRUE(RunUntilClosed(4 * 1500 + 4 * 250 + 1000));
  EXPECT_EQ(doneCalls, 1);
  EXPECT_TRUE(blofeld.Changed(130));
  EXPECT_EQ(d.Missing, std::vector<int>{130});
  EXPECT_FALSE(d.Cancelled);
  ExpectLog({"Missing 1 of 1 sound(s): B003"});
  EXPECT_EQ(ui.Label(), "Received 0 of 1; 1 missing");

  // A bank read stops once kSilentAfter requests in a row went unanswered.
  d.ReadBank(2);
  EXPECT_EQ(ui.title, receiver_text::kCaption);  // the single-read title does not stick
  ASSERT_TRUE(RunUntilClosed(60000));
  EXPECT_EQ(d.Missing.size(), 128u);
  ExpectLog({"The instrument stopped answering"});
  EXPECT_EQ(link.SoundRequests().size(), 8u + 2 * ReceiveDispatcher::kSilentAfter);
}

TEST_F(Dispatcher, FastReadsChainAsSoonAsAReplyIsStored) {
  d.FastRead = true;
  link.latencyMs = 125;  // about a dump at cable speed
  d.ReadBank(0);
  const std::int64_t start = clock.nowMs();
  while (ui.modal && clock.nowMs() - start < 60000) clock.Advance(1);
  EXPECT_FALSE(ui.modal);
  EXPECT_EQ(link.SoundRequests().size(), 128u);
  // Each sound takes its round trip plus the small gap, not the MIDI delay.
  EXPECT_LE(clock.nowMs() - start, 128 * (125 + ReceiveDispatcher::kFastReadGapMs) + 1);
  EXPECT_TRUE(d.Missing.empty());
}

// Damage of every kind is a row of the in-process noisy-link table; here a bank byte naming no bank.
TEST_F(Dispatcher, ADumpNamingNoBankIsRejectedRetriedAndNeverStored) {
  const SoundData before = blofeld.Sound(3);
  int asked3 = 0;
  link.answer = [&](const Bytes& req) -> Reply {
    return req[6] == 3 && ++asked3 ? DumpFor(9, 3, 3) : test::ScriptedLink::DefaultReply(req);
  };
  d.ReadBank(0);
  ASSERT_TRUE(RunUntilClosed(60000));
  EXPECT_EQ(asked3, 8);  // asked and asked again, in the pass and three more rounds
  EXPECT_EQ(d.Missing, std::vector<int>{3});
  EXPECT_EQ(blofeld.Sound(3), before);
  ExpectLog({"Missing 1 of 128 sound(s): A004", "Rejected sound dump: bank byte 9 names no bank"});
}

TEST_F(Dispatcher, AnOverdueReplyIsAskedForAgainAndDuplicatesDoNotDoubleTheChain) {
  int asked5 = 0;
  link.answer = [&](const Bytes& req) -> Reply {
    if (req[6] == 5 && asked5++ == 0) return std::nullopt;  // lost on the way
    if (req[6] == 7) link.Deliver(test::ScriptedLink::DefaultReply(req), 40);  // answered twice
    if (req[6] == 9) link.Deliver(test::ScriptedLink::DefaultReply(req), 70);  // late: resent, then both arrive
    return test::ScriptedLink::DefaultReply(req);
  };
  EXPECT_FALSE(d.RequestAgain());  // nothing open
  d.ReadBank(0);
  clock.Advance(5 * 255 + 49);
  EXPECT_EQ(link.SoundRequests().size(), 6u);  // waiting for A006
  clock.Advance(1);
  EXPECT_EQ(link.SoundRequests().size(), 7u);
  ExpectLog({"No reply for A006 within 50 ms; asking again"});
  ASSERT_TRUE(RunUntilClosed(60000));
  EXPECT_EQ(asked5, 2);
  EXPECT_EQ(link.SoundRequests().size(), 129u);  // one extra request, no skipped step
  ExpectPaced(RequestTimes(5));  // one request in flight at a time: the chain never doubled
  for (int i = 0; i < 128; ++i) ASSERT_FALSE(blofeld.Changed(i)) << i;
}

TEST_F(Dispatcher, ReplyTimeoutFollowsTheSlowestRecentRoundTrip) {
  link.latencyMs = 130;  // a dump at cable speed
  d.ReadBank(0);
  EXPECT_EQ(d.ReplyTimeoutMs(), ReceiveDispatcher::kFirstReplyTimeoutMs);
  clock.Advance(130);
  EXPECT_EQ(d.ReplyTimeoutMs(), 280);
  link.latencyMs = 10;  // a faster link shrinks it only gradually
  clock.Advance(250 + 10);
  EXPECT_EQ(d.ReplyTimeoutMs(), 254);
  clock.Advance(40 * 260);
  EXPECT_EQ(d.ReplyTimeoutMs(), 50);
  EXPECT_TRUE(std::none_of(log.lines.begin(), log.lines.end(), [](auto& l) { return l.rfind("No reply", 0) == 0; }));
  d.DialogCloseClicked();
  // A new read learns the link anew.
  d.ReadBank(1);
  EXPECT_EQ(d.ReplyTimeoutMs(), ReceiveDispatcher::kFirstReplyTimeoutMs);
  d.DialogCloseClicked();
}

TEST_F(Dispatcher, ASingleReadTakesALateReplyWhileItRunsAndNoneAfterItEnded) {
  // The first reply comes 900 ms after a request made 10 ms before the dialog's tick;
  // the second after the read gave up.
  const struct { int slot, offsetMs, latencyMs; bool stored; } rows[] = {{4, 990, 900, true}, {10, 0, 9000, false}};
  for (const auto& r : rows) {
    clock.Advance(r.offsetMs);
    link.latencyMs = r.latencyMs;
    d.ReadCurrentSound(r.slot);
    ASSERT_TRUE(RunUntilClosed(8900)) << r.slot;
    clock.Advance(20000);
    EXPECT_EQ(blofeld.Changed(r.slot), !r.stored) << r.slot;
    EXPECT_EQ(blofeld.Sound(r.slot) == MakeDefaultInitSound(), !r.stored) << r.slot;
  }
}

TEST_F(Dispatcher, EditBufferForEditorAndLocker) {
  d.FetchEditBuffer(RequestKind::EditorSound, Done());
  EXPECT_EQ(link.sent.back(), (Bytes{0xF0, 0x3E, 0x13, 0x00, 0x00, 0x7F, 0x00, 0x7F, 0xF7}));
  clock.Advance(10);
  EXPECT_EQ(d.CurrentSound, SoundData::FromBytes(DumpFor(0x7F, 0, 1000)));
  ExpectLog({"Received current sound."});
  EXPECT_FALSE(d.Receiving());
  ASSERT_TRUE(RunUntilClosed(1100));
  EXPECT_EQ(doneCalls, 1);
  EXPECT_EQ(d.TakeCurrentSoundStatus(), 1);

  // Neither a cut-short dump nor a late answer to an earlier slot read is taken for the edit buffer.
  d.CurrentSound = {};
  Bytes cutShort = DumpFor(0x7F, 0, 1000);
  cutShort.erase(cutShort.begin() + 200, cutShort.end() - 1);
  const Bytes wrong[] = {cutShort, DumpFor(0, 30, 5)};
  for (int i = 0; i < 2; ++i) {
    link.answer = [&](const Bytes&) -> Reply { return wrong[i]; };
    d.FetchEditBuffer(i == 0 ? RequestKind::LockerSound : RequestKind::EditorSound);
    ASSERT_TRUE(RunUntilClosed(2100));
    EXPECT_EQ(d.CurrentSound, SoundData{});
    EXPECT_EQ(d.TakeCurrentSoundStatus(), 0);
  }
  ExpectLog({"Ignored a dump of A031 while waiting for the edit buffer"});
  link.answer = nullptr;
  d.FetchEditBuffer(RequestKind::LockerSound);
  clock.Advance(10);
  EXPECT_EQ(d.TakeCurrentSoundStatus(), 2);
  ASSERT_TRUE(RunUntilClosed(2000));

  // A lost request is asked for again before the dialog's tick ends the fetch.
  int asked = 0;
  link.answer = [&](const Bytes& req) -> Reply {
    return asked++ == 0 ? Reply() : test::ScriptedLink::DefaultReply(req);
  };
  d.FetchEditBuffer(RequestKind::EditorSound);
  clock.Advance(ReceiveDispatcher::kFirstReplyTimeoutMs + 10);
  EXPECT_EQ(asked, 2);
  ExpectLog({"No reply for the edit buffer within 500 ms; asking again"});
  ASSERT_TRUE(RunUntilClosed(2000));
  EXPECT_EQ(d.TakeCurrentSoundStatus(), 1);
}

TEST_F(Dispatcher, GlobalDataAndMultiMode) {
  // A silent instrument: switching asks for the global data; with none, nothing else is sent.
  std::vector<bool> results;
  auto record = [&](bool sent) { results.push_back(sent); };
  link.silent = true;
  d.SetMultiMode(true, record);
  ASSERT_TRUE(RunUntilClosed(2100));
  EXPECT_EQ(link.sent, (std::vector<Bytes>{{0xF0, 0x3E, 0x13, 0x00, 0x04, 0xF7}}));
  EXPECT_FALSE(d.Globals.MultiMode());
  ExpectLog({"No global data received*"});

  // Answered: the switch goes out with the checksum (the sum of bytes 5..77) made anew, in the kept copy too.
  link.silent = false;
  d.SetMultiMode(true, record);
  ASSERT_TRUE(RunUntilClosed(2100));
  EXPECT_EQ(results, std::vector<bool>({false, true}));
  EXPECT_TRUE(d.Globals.MultiMode());
  const Bytes& m = link.sent.back();
  ASSERT_EQ(m.size(), 80u);
  EXPECT_EQ(m[6], 1);
  EXPECT_EQ(m[78], std::accumulate(m.begin() + 5, m.begin() + 78, 0u) & 0x7F);
  EXPECT_EQ(d.Globals.bytes[78], m[78]);

  d.RequestGlobals(Done());
  ASSERT_TRUE(RunUntilClosed(2100));
  EXPECT_EQ(doneCalls, 1);
  EXPECT_EQ(d.Globals, VirtualInstrument::DemoGlobals());
  ExpectLog({"Received globals."});

  // With global data at hand the switch goes out at once.
  d.SetMultiMode(false, record);
  EXPECT_EQ(results.back(), true);
  EXPECT_EQ(link.sent.back()[6], 0);
}

TEST_F(Dispatcher, SendSelectedSoundsSkipsEmptySlotsAndIsPaced) {
  d.DeviceId = 5;
  for (int i : {3, 5, 700}) blofeld.Select(i);
  SetCategory(blofeld, 5, kEmptyCategory);
  SetSoundName(blofeld, 700, std::string("Caf\xE9"));  // a Latin-1 name read from a file
  std::vector<int> refreshed;
  d.OnSlotChanged = [&](int i) { refreshed.push_back(i); };
  d.SendSelectedSounds(Done());
  EXPECT_TRUE(ui.modeless);
  clock.Advance(2000);
  ASSERT_EQ(link.sent.size(), 2u);
  EXPECT_EQ(Bytes(link.sent[0].begin() + 3, link.sent[0].begin() + 7), (Bytes{5, 0x10, 0, 3}));
  EXPECT_EQ(Bytes(link.sent[1].begin() + 5, link.sent[1].begin() + 7), (Bytes{5, 700 % 128}));
  // Masked to seven bits on the wire, the stored sound untouched, and the checksum still holds.
  EXPECT_EQ(link.sent[1][offs::kName + 3], 0x69);
  EXPECT_EQ(blofeld.Sound(700)[offs::kName + 3], 0xE9);
  EXPECT_TRUE(IsIntactSoundDump(link.sent[1])) << SoundDumpDefect(link.sent[1]);
  EXPECT_GE(link.sentAt[1].first - link.sentAt[0].first, 250);
  EXPECT_EQ(ui.labels, (std::vector<std::string>{"Waiting for Blofeld.", "Sent 0 of 2 (0:00 elapsed)",
                                                 "Sent 1 of 2 (0:00 elapsed, about 0:00 left)",
                                                 "Sent 2 of 2 (0:00 elapsed)", "Sent 2 of 2 sound(s)"}));
  EXPECT_EQ(refreshed, (std::vector<int>{3, 700}));
  EXPECT_FALSE(ui.modeless);
  EXPECT_EQ(doneCalls, 1);
}

TEST_F(Dispatcher, SendSysExFileMessageByMessageAndRefuseWhatThePortCannotCarry) {
  test::TempDir dir;
  Bytes file;
  for (int i = 0; i < 3; ++i) {
    Bytes dump = DumpFor(0, i, i);
    file.insert(file.end(), dump.begin(), dump.end());
    file.push_back(0x00);  // junk between messages is skipped
  }
  test::WriteAll(dir / "three.syx", file);
  d.SendSysExFile(dir / "three.syx", Done());
  clock.Advance(1000);
  ASSERT_EQ(link.sent.size(), 3u);
  EXPECT_EQ(link.sent[2], DumpFor(0, 2, 2));
  EXPECT_GE(link.sentAt[2].first - link.sentAt[1].first, 250);
  EXPECT_EQ(doneCalls, 1);
  ExpectLog({"Sent 3 of 3 messages from *"});
  EXPECT_THROW(d.SendSysExFile(dir / "missing.syx"), std::runtime_error);
  EXPECT_THROW(d.SendSysExFile(dir.Path()), std::runtime_error);  // a folder is no file
  // A file with a message longer than the port carries is refused whole: nothing is sent, and the next send may start.
  file.push_back(0xF0);
  file.resize(file.size() + 4998, 0x11);
  file.push_back(0xF7);
  test::WriteAll(dir / "big.syx", file);
  link.maxMessage = 4096;
  EXPECT_THROW(d.SendSysExFile(dir / "big.syx"), std::runtime_error);

  // Chosen from the menu, the file's sounds replace slots: asked once, and No sends nothing.
  test::ScriptedPrompter prompter;
  prompter.openName = (dir / "three.syx").string();
  d.SendSysExFromFile(prompter);
  clock.Advance(1000);
  EXPECT_EQ(prompter.asked, std::vector<std::string>{"Send 3 sounds to the Blofeld, replacing A001\u2013A003 there?"});
  EXPECT_EQ(link.sent.size(), 3u);
  prompter.answers = {Answer::Yes};
  d.SendSysExFromFile(prompter);
  clock.Advance(1000);
  EXPECT_EQ(link.sent.size(), 6u);
}

TEST_F(Dispatcher, SendsCountOnlyWhatThePortTook) {
  for (int i : {10, 11, 12, 13}) blofeld.Select(i);
  link.refuse = [](const Bytes& m) { return m.size() == kSoundSize && m[6] == 11; };  // a stalled port
  d.SendSelectedSounds(Done());
  clock.Advance(5000);
  EXPECT_EQ(doneCalls, 1);
  for (int i : {10, 11, 12}) EXPECT_EQ(blofeld.Changed(i), i == 11) << i;  // not taken: still changed
  ExpectLog({"Sent 3 of 4 sound(s); not sent: A012"});

  // Cancel after the first: the rest keep their marks.
  for (int i : {10, 12, 13}) blofeld.SetChanged(i, true);
  link.refuse = nullptr;
  d.SendSelectedSounds();
  clock.Advance(100);
  d.DialogCloseClicked();
  clock.Advance(1000);
  for (int i : {10, 11, 12, 13}) EXPECT_EQ(blofeld.Changed(i), i != 10) << i;
  ExpectLog({"Sent 1 of 4 sound(s); cancelled; not sent: A012, A013, A014"});
}

TEST_F(Dispatcher, WhileAJobRunsEveryOtherCommandIsRefusedAndSendsNothing) {
  test::TempDir dir;
  Bytes two = DumpFor(0, 1, 1), second = DumpFor(0, 2, 2);
  two.insert(two.end(), second.begin(), second.end());
  test::WriteAll(dir / "two.syx", two);
  test::ScriptedPrompter prompter;
  prompter.openName = (dir / "two.syx").string();
  prompter.answers = {Answer::Yes};
  // The global data at hand: the switch would go out at once.
  d.Globals = VirtualInstrument::DemoGlobals();
  link.silent = true;  // a running read or fetch stays running
  blofeld.Select(3);
  const std::vector<std::pair<const char*, std::function<void()>>> jobs = {
      {"the read", [&] { d.ReadBank(0, Done()); }},
      {"the read", [&] { d.ReadCurrentSound(5, Done()); }},
      {"the edit buffer fetch", [&] { d.FetchEditBuffer(RequestKind::LockerSound, Done()); }},
      {"the global data request", [&] { d.RequestGlobals(Done()); }},
      {"the send", [&] { d.SendSelectedSounds(Done()); }},
      {"the file send", [&] { d.SendSysExFile(dir / "two.syx", Done()); }},
      {"the file send", [&] { d.SendSysExFromFile(prompter, Done()); }},
      {"the multi-mode switch", [&] { d.SetMultiMode(true, [&](bool sent) { doneCalls += sent ? 100 : 1; }); }},
  };
  for (const std::size_t running : {0, 2, 4, 5}) {  // a read, a fetch, a send, a file send
    SCOPED_TRACE(jobs[running].first);
    jobs[running].second();
    ASSERT_TRUE(d.Busy());
    doneCalls = 0;
    const std::size_t sent = link.sent.size();
    for (const auto& [name, start] : jobs) {
      log.lines.clear();
      start();
      EXPECT_EQ(log.lines,
                std::vector<std::string>{std::string("A transfer is running; ") + name + " was not started"});
    }
    EXPECT_EQ(doneCalls, 1);  // only the switch says it was not sent
    EXPECT_EQ(link.sent.size(), sent);
    EXPECT_TRUE(prompter.asked.empty());
    EXPECT_FALSE(d.Globals.MultiMode());
    // The running job is untouched by all that and ends as it would have.
    d.DialogCloseClicked();
    for (int t = 0; d.Busy() && t < 5000; t += 50) clock.Advance(50);
    EXPECT_FALSE(d.Busy());
    EXPECT_EQ(doneCalls, 2);
  }
  // By the time a job's done runs the queue is free: done may start the next.
  d.ReadCurrentSound(5, [&] { d.FetchEditBuffer(RequestKind::EditorSound); });
  d.DialogCloseClicked();
  EXPECT_TRUE(d.Busy());
  d.DialogCloseClicked();
  EXPECT_FALSE(d.Busy());
}

TEST_F(Dispatcher, AuditionPanicAndControllerMessages) {
  d.SelectProgram(blofeld, 130, false, 2);
  d.SelectProgram(blofeld, 131, false, 2);
  EXPECT_EQ(link.sent, (std::vector<Bytes>{{0xB2, 0x00, 0x01}, {0xC2, 0x02, 0x00}}));  // the second waits
  clock.Advance(250);
  EXPECT_EQ(link.sent,
            (std::vector<Bytes>{{0xB2, 0x00, 0x01}, {0xC2, 0x02, 0x00}, {0xB2, 0x00, 0x01}, {0xC2, 0x03, 0x00}}));
  d.Panic();
  EXPECT_EQ(link.sent.size(), 4u + 48u);

  std::vector<Bytes> got;
  d.OnShortMessage(0xB0, 74, 10);  // no editor open: nothing happens
  d.ControllerHandler = [&](std::uint8_t s, std::uint8_t a, std::uint8_t b) { got.push_back({s, a, b}); };
  d.OnShortMessage(0xB0, 74, 11);
  EXPECT_EQ(got, (std::vector<Bytes>{{0xB0, 74, 11}}));
}

class InProcess : public ::testing::Test {
 protected:
  InProcess() {
    vi.SetLatencyMs(0);
    svc.EnumerateDevices();
    EXPECT_TRUE(svc.OpenOutput());
    EXPECT_TRUE(svc.OpenInputs().empty());
    svc.SetInstrumentHandler(&d);
    d.MidiDelayMs = 0;
    ResetSlots(blofeld);
    StartDialogTicks(loop, d, tick);
  }
  bool RunUntilClosed(int timeoutMs) { return loop.RunUntil([this] { return !ui.modal; }, timeoutMs); }
  // What a reply carries: the slot's sound with the request's device id and its own bank, program and checksum.
  SoundData AsStored(int slot) {
    SoundData s = vi.Sound(slot);
    s[offs::kDeviceId] = 0;
    s[offs::kBank] = static_cast<std::uint8_t>(slot / 128);
    s[offs::kProgram] = static_cast<std::uint8_t>(slot % 128);
    s[offs::kChecksum] = ChecksumOf(s);
    return s;
  }

  VirtualInstrument vi;
  EventLoop loop;
  MemoryLog log;
  MidiService svc{nullptr, vi, loop, log};
  test::FakeReceiverUi ui;
  BankSet blofeld;
  ReceiveDispatcher d{blofeld, svc, loop, ui, log};
  std::function<void()> tick;
};

TEST_F(InProcess, ReadAllGivesExactlyTheInstrumentsSounds) {
  d.ReadAll();
  ASSERT_TRUE(RunUntilClosed(60000));
  for (int i = 0; i < kSlotCount; ++i) ASSERT_EQ(blofeld.Sound(i), AsStored(i)) << i;
  // One request a sound; a reply that a busy machine made late is asked for again, and the log says so.
  const auto resends = std::count_if(log.lines.begin(), log.lines.end(), [](const std::string& l) {
    return l.rfind("No reply for ", 0) == 0;
  });
  EXPECT_EQ(vi.RequestsReceived(), 1024 + resends);
}

TEST_F(InProcess, EditBufferAndGlobalsFollowWhatIsSent) {
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

  d.RequestGlobals();
  ASSERT_TRUE(RunUntilClosed(5000));
  EXPECT_FALSE(d.Globals.MultiMode());
  d.SetMultiMode(true);
  ASSERT_TRUE(vi.WaitIdle(1000));
  EXPECT_TRUE(vi.Global().MultiMode());
}

TEST_F(InProcess, NoisyLinksEndExactAndCompleteOrNameExactlyTheMissingSlots) {
  using F = VirtualInstrument::FaultKind;
  using Faults = std::vector<std::pair<int, VirtualInstrument::Fault>>;
  struct Row {
    const char* name;
    Faults faults;
    std::vector<int> missing;
    std::vector<std::string> logged;
  };
  auto once = [](F kind) { return VirtualInstrument::Fault{kind, 0, 100, true}; };
  auto always = [](F kind) { return VirtualInstrument::Fault{kind, 0, 100, false}; };
  Faults everyKindOnce, fifthLost;
  const F kinds[] = {F::Drop,       F::Truncate,  F::Corrupt,   F::CorruptAs7F, F::Junk,  F::Split, F::CutOff,
                     F::Interleave, F::WrongSlot, F::EditBuffer, F::Duplicate, F::Flood, F::Delay};
  for (int k = 0; k < static_cast<int>(std::size(kinds)); ++k) everyKindOnce.push_back({5 + 9 * k, once(kinds[k])});
  everyKindOnce.back().second.delayMs = 300;  // late, but within the read
  for (int slot = 1; slot < 128; slot += 5) fifthLost.push_back({slot, once(F::Drop)});
  const std::vector<Row> rows = {
      {"every kind of fault once", everyKindOnce, {}, {"Ignored an edit buffer dump that was not asked for"}},
      {"a fifth of the replies lost once", fifthLost, {}, {"No reply for A002 within*"}},
      {"lost every time", {{40, always(F::Drop)}, {41, always(F::Drop)}}, {40, 41}, {"Asking again for 2 sound(s)*"}},
      // A cut-off copy is followed by the whole reply: that one is stored.
      {"damaged every time", {{50, always(F::Corrupt)}, {51, always(F::Truncate)}, {52, always(F::CutOff)}}, {50, 51},
       {"Missing 2 of 128 sound(s): A051, A052",
        "Rejected reply to the request for A051: checksum mismatch (392 bytes)",
        "Rejected reply to the request for A052: wrong length (101 bytes)"}},
      // Once the instrument has shown that it computes checksums, 7F in place of the sum no longer passes damage.
      {"damaged under 7F every time", {{60, always(F::CorruptAs7F)}}, {60}, {}},
      // The last slot answered with the first of bank B: not part of this read.
      {"answered with the next slot every time", {{70, always(F::WrongSlot)}, {127, always(F::WrongSlot)}}, {70, 127},
       {"Ignored a dump of B001: not asked for in this read"}},
  };
  blofeld.CurrentIndex = 500;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    vi.ClearFaults();
    for (const auto& [slot, fault] : row.faults) vi.InjectFault(slot, fault);
    ResetSlots(blofeld);
    log.lines.clear();
    d.ReadBank(0);
    ASSERT_TRUE(RunUntilClosed(60000));
    EXPECT_EQ(d.Missing, row.missing);
    for (int i = 0; i < 128; ++i) {
      const bool missing = std::find(row.missing.begin(), row.missing.end(), i) != row.missing.end();
      ASSERT_EQ(blofeld.Sound(i), missing ? MakeDefaultInitSound() : AsStored(i)) << i;
      ASSERT_EQ(blofeld.Changed(i), missing) << i;
    }
    for (int i = 128; i < kSlotCount; ++i) ASSERT_TRUE(blofeld.Changed(i)) << i;  // nothing stored outside bank A
    ExpectLogged(log, row.logged);
    // A reply the instrument held back can come after the read has ended: it is dropped between reads,
    // as the program does, not taken by the next row's read as the answer to its first request.
    ASSERT_TRUE(vi.WaitIdle(5000));
    loop.RunUntil([] { return false; }, 0);
  }
}

}  // namespace
}  // namespace tarvix
