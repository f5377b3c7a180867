// The JACK backend on the private server of the test fixture: bursts larger than one period's MIDI buffer, a
// sequencer's clock, closing ports while messages flow, and no server at all.
#include <gtest/gtest.h>
#include <jack/jack.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <optional>
#include <thread>

#include "midi/JackMidi.h"
#include "midi/RtMidiDriver.h"

using namespace tarvix;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

namespace {

// A sound-dump-sized message carrying its sequence number.
Bytes Dump(int n) {
  Bytes m{0xF0, static_cast<std::uint8_t>(n & 0x7F), static_cast<std::uint8_t>((n >> 7) & 0x7F)};
  for (std::size_t i = 3; i < 391; ++i) m.push_back(static_cast<std::uint8_t>((n + i) & 0x7F));
  m.push_back(0xF7);
  return m;
}

struct Inbox {
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<Bytes> messages;

  MidiDriver::InputCallback Callback() {
    return [this](std::span<const std::uint8_t> chunk) {
      std::lock_guard lock(mutex);
      messages.emplace_back(chunk.begin(), chunk.end());
      arrived.notify_all();
    };
  }
  // Waits for `count` messages and a little longer for any extra; returns them.
  std::vector<Bytes> Take(std::size_t count) {
    std::unique_lock lock(mutex);
    arrived.wait_for(lock, 10s, [&] { return messages.size() >= count; });
    lock.unlock();
    std::this_thread::sleep_for(50ms);
    lock.lock();
    return std::exchange(messages, {});
  }
};

int IndexOf(const std::vector<std::string>& names, const std::string& part) {
  const auto it =
      std::find_if(names.begin(), names.end(), [&](const std::string& n) { return n.find(part) != std::string::npos; });
  return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

// A client that misses its period loses that period's events, which no port can prevent: a test of delivery tries again
// when the server reported an xrun during a run that lost something. Returns whether the last run delivered, or nothing
// when every run had xruns.
template <class Run>
std::optional<bool> DeliveredWithoutXruns(Run run) {
  std::atomic<int> xruns{0};
  jack_client_t* client = jack_client_open("TarvixXruns", JackNoStartServer, nullptr);
  if (client) {
    jack_set_xrun_callback(client, [](void* n) {
      ++*static_cast<std::atomic<int>*>(n);
      return 0;
    }, &xruns);
    jack_activate(client);
  }
  std::optional<bool> result;
  for (int attempt = 1; attempt <= 5 && !result; ++attempt) {
    const int before = xruns;
    const bool delivered = run(attempt);
    if (delivered || xruns == before) result = delivered;
    else std::cerr << "xruns during run " << attempt << "\n";
  }
  if (client) jack_client_close(client);
  return result;
}

// An output of one driver connected to a port others connect to on another.
struct Link {
  explicit Link(const std::string& name)
      : sender(RtMidiDriver::Api::Jack, name + "Tx"), receiver(RtMidiDriver::Api::Jack, name) {
    in = receiver.OpenVirtualInput("in", inbox.Callback());
    in->Start();
    const auto names = sender.OutputNames();
    index = IndexOf(names, name + ":in");
    if (index >= 0) portName = names[static_cast<std::size_t>(index)];
  }
  std::unique_ptr<MidiOutputPort> Open() { return sender.OpenOutput(index, portName); }

  RtMidiDriver sender, receiver;
  Inbox inbox;
  std::unique_ptr<MidiInputPort> in;
  int index = -1;
  std::string portName;
};

// Sends the messages `gap` apart over a fresh link per attempt (what arrives late from an attempt spoilt by an xrun
// must not reach the next one), closing the output at once; returns what arrived, or nothing if all had xruns.
std::optional<std::vector<Bytes>> SendOver(const std::string& name, const std::vector<Bytes>& messages,
                                           std::chrono::microseconds gap) {
  std::vector<Bytes> got;
  const auto delivered = DeliveredWithoutXruns([&](int attempt) {
    Link link(name + std::to_string(attempt));
    EXPECT_GE(link.index, 0) << "the receiving port is not listed";
    auto out = link.Open();
    std::this_thread::sleep_for(50ms);  // a new client's arrival may count as an xrun
    for (const Bytes& m : messages) {
      out->Send(m);
      std::this_thread::sleep_for(gap);
    }
    out.reset();  // closing right away still lets everything sent leave first
    got = link.inbox.Take(messages.size());
    link.in->Stop();
    return got == messages;
  });
  if (!delivered) return std::nullopt;
  return got;
}

}  // namespace

TEST(JackMidi, BurstsLargerThanAPeriodArriveWholeInOrder) {
  if (!std::getenv("JACK_DEFAULT_SERVER")) GTEST_SKIP() << "runs inside the JACK fixture";
  // 400 dumps back to back are about 160 KB: more than the output's ring and several times one period's MIDI buffer, so
  // both must hold messages back rather than drop them.
  std::vector<Bytes> sent;
  for (int n = 0; n < 400; ++n) sent.push_back(Dump(n));
  const auto got = SendOver("TarvixBurst", sent, 0us);
  if (!got) GTEST_SKIP() << "the server reported xruns during every burst";
  ASSERT_EQ(got->size(), sent.size()) << "messages lost without an xrun";
  EXPECT_TRUE(*got == sent) << "messages changed or out of order";

  // A message that can never fit is refused, not sent in part; the limit is told beforehand, so a file send can refuse
  // such a file whole.
  Link link("TarvixHuge");
  auto out = link.Open();
  Bytes huge(JackMidi::kRingBytes + 10, 0x01);
  huge.front() = 0xF0;
  huge.back() = 0xF7;
  EXPECT_THROW(out->Send(huge), MidiError);
  EXPECT_LT(out->MaxMessageSize(), huge.size());
  EXPECT_GT(out->MaxMessageSize(), JackMidi::kRingBytes / 2);
  huge.resize(out->MaxMessageSize());
  huge.back() = 0xF7;
  EXPECT_NO_THROW(out->Send(huge));
}

TEST(JackMidi, ASequencersClockTransportAndNotesPassAsTheyAre) {
  if (!std::getenv("JACK_DEFAULT_SERVER")) GTEST_SKIP() << "runs inside the JACK fixture";
  const std::vector<Bytes> played{{0xF2, 0x00, 0x01}, {0xF1, 0x10}, {0xFA}, {0xF8}, {0x90, 0x30, 0x64}, {0xF8},
                                  {0x80, 0x30, 0x00}, {0xF1, 0x11}, {0xFC}, {0xFE}, {0xFB}, {0xF8}};
  const auto got = SendOver("TarvixSequencer", played, 1ms);
  if (!got) GTEST_SKIP() << "the server reported xruns during every attempt";
  EXPECT_EQ(*got, played);
}

TEST(JackMidi, PortsCloseCleanlyWhileMessagesFlow) {
  if (!std::getenv("JACK_DEFAULT_SERVER")) GTEST_SKIP() << "runs inside the JACK fixture";
  // A sender keeps a receiver busy while the receiver's ports are opened and closed again and again: once Stop returns,
  // no message may be delivered.
  RtMidiDriver flood(RtMidiDriver::Api::Jack, "TarvixFlood");
  auto source = flood.OpenVirtualOutput("out");
  std::atomic<bool> running{true};
  std::thread sender([&] {
    for (const auto m = Dump(1); running; std::this_thread::sleep_for(200us)) source->Send(m);
  });

  RtMidiDriver driver(RtMidiDriver::Api::Jack, "TarvixChurn");
  const auto inputs = driver.InputNames();
  const int index = IndexOf(inputs, "TarvixFlood");
  ASSERT_GE(index, 0);
  std::atomic<bool> stopped{false};
  std::atomic<int> late{0}, delivered{0};
  for (int round = 0; round < 20; ++round) {
    stopped = false;
    auto in = driver.OpenInput(index, inputs[static_cast<std::size_t>(index)], [&](std::span<const std::uint8_t>) {
      late += stopped;
      ++delivered;
    });
    in->Start();
    // Short rounds close while messages arrive; the last, longer one makes sure the flood reaches the input at all.
    std::this_thread::sleep_for(round == 19 ? 100ms : std::chrono::milliseconds(1 + round % 5));
    in->Stop();
    stopped = true;
    EXPECT_THROW(in->Start(), MidiError);  // a stopped port is closed for good
    in.reset();
    // And an output opened and closed at once, with the ring still filling.
    driver.OpenVirtualOutput("churn out")->Send(Dump(round));
  }
  running = false;
  sender.join();
  EXPECT_EQ(late, 0);
  EXPECT_GT(delivered, 0) << "the flood never reached the input";
}

TEST(JackMidi, WithoutAServerNothingIsListedAndOpeningFails) {
  const char* saved = std::getenv("JACK_DEFAULT_SERVER");
  if (!saved) GTEST_SKIP() << "runs inside the JACK fixture";
  const std::string server = saved;
  ::setenv("JACK_DEFAULT_SERVER", "tarvix_no_such_server", 1);
  {
    RtMidiDriver driver(RtMidiDriver::Api::Jack, "TarvixAlone");
    EXPECT_TRUE(driver.InputNames().empty());
    EXPECT_TRUE(driver.OutputNames().empty());
    EXPECT_THROW(driver.OpenVirtualOutput("out"), MidiError);
    EXPECT_THROW(driver.OpenOutput(0, "TarvixFlood:in"), MidiError);
  }
  ::setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
  // The server is found again once it is there.
  RtMidiDriver driver(RtMidiDriver::Api::Jack, "TarvixBack");
  auto out = driver.OpenVirtualOutput("back");
  EXPECT_GE(IndexOf(driver.InputNames(), "TarvixBack"), 0);
}
