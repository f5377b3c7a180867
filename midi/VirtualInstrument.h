#pragma once
// The built-in instrument: behaves like a Blofeld as far as the program relies
// on one, so Tarvix is useful and testable with nothing attached. It holds
// 1024 sound slots, an edit buffer and 80 bytes of global data; answers a
// sound request with one 392-byte dump and a global request with one 80-byte
// dump; stores dumps sent to a slot or the edit buffer and global dumps;
// applies parameter changes to the edit buffer; loads a slot into the edit
// buffer on bank select + program change; ignores notes.
//
// Like a real device it answers on its own thread, after a settable latency
// and optionally at the speed of a MIDI cable. For tests it can drop, delay,
// cut short, corrupt, split, duplicate or surround with noise chosen replies.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "library/SoundData.h"
#include "midi/GlobalData.h"

namespace tarvix {

class VirtualInstrument {
 public:
  using ReplySink = std::function<void(std::span<const std::uint8_t> message)>;
  static constexpr const char* kDeviceName = "Tarvix Virtual Instrument";
  static constexpr int kDefaultLatencyMs = 3;
  static constexpr int kWireBytesPerSecond = 3125;  // 31250 baud, 10 bits a byte

  enum class FaultKind {
    Drop,
    Delay,
    Truncate,     // keepBytes, then F7
    Corrupt,      // a flipped data bit
    CorruptAs7F,  // a flipped data bit and 7F in place of the checksum
    Junk,         // notes, real-time bytes inside the reply, another maker's SysEx before it
    Split,        // the reply in pieces of a few bytes
    CutOff,       // keepBytes of the reply with no F7, then the whole reply
    Interleave,   // the start of the next slot's dump, cut off by the reply
    WrongSlot,    // the next slot's dump instead of the reply
    EditBuffer,   // an edit-buffer dump nobody asked for, then the reply
    Duplicate,    // the reply twice
    Flood,        // 1.5 MB of SysEx without an end, then the reply
  };
  struct Fault {
    FaultKind kind = FaultKind::Drop;
    int delayMs = 0;        // Delay: extra time before the reply leaves
    int keepBytes = 100;    // Truncate, CutOff: bytes kept
    bool once = true;       // consumed by the first reply it hits
  };
  // Fault keys: a flat slot index 0..1023, kEditBufferKey for the edit buffer
  // and kGlobalKey for the global dump.
  static constexpr int kEditBufferKey = 1024;
  static constexpr int kGlobalKey = -1;

  VirtualInstrument();
  ~VirtualInstrument();
  VirtualInstrument(const VirtualInstrument&) = delete;
  VirtualInstrument& operator=(const VirtualInstrument&) = delete;

  // One complete incoming message. Callable from any thread.
  void Receive(std::span<const std::uint8_t> message);
  // Where replies go (on the instrument's thread). Replacing or clearing the
  // sink waits until a reply being delivered has been delivered.
  void SetReplySink(ReplySink sink);

  void SetLatencyMs(int ms);
  void SetWireSpeed(bool on);
  void InjectFault(int key, Fault fault);
  void ClearFaults();

  // Snapshots, for tests and for showing what the instrument holds.
  SoundData Sound(int index) const;
  void SetSound(int index, const SoundData& sound);
  SoundData EditBuffer() const;
  GlobalData Global() const;
  int RequestsReceived() const;
  int RepliesSent() const;
  // Waits (real time) until no reply is pending. False on timeout.
  bool WaitIdle(int timeoutMs) const;

  // The deterministic demo library a fresh instrument holds.
  static SoundData DemoSound(int index);
  static GlobalData DemoGlobals();

 private:
  void HandleSysEx(std::span<const std::uint8_t> m);
  void HandleShort(std::span<const std::uint8_t> m);
  void Reply(int key, std::vector<std::uint8_t> bytes);
  void Enqueue(std::vector<std::uint8_t> bytes, std::int64_t extraUs);
  std::vector<std::uint8_t> DumpOf(int index, std::uint8_t device) const;
  void Run();
  static std::int64_t NowUs();

  mutable std::mutex mutex_;
  mutable std::condition_variable wake_;
  std::array<SoundData, kSlotCount> slots_;
  SoundData editBuffer_;
  GlobalData global_;
  std::array<int, 16> bankSelect_{};
  int latencyMs_ = kDefaultLatencyMs;
  bool wireSpeed_ = false;
  std::int64_t wireFreeUs_ = 0;
  std::map<int, Fault> faults_;
  std::multimap<std::int64_t, std::vector<std::uint8_t>> queue_;  // by due time, then send order
  int requests_ = 0;
  int replies_ = 0;
  bool delivering_ = false;
  bool stop_ = false;

  std::mutex sinkMutex_;  // held while a reply is handed to the sink
  ReplySink sink_;
  std::thread thread_;
};

}  // namespace tarvix
