#include "midi/VirtualInstrument.h"

#include <algorithm>
#include <chrono>

#include "library/InitSound.h"
#include "midi/SysExMessages.h"

namespace tarvix {

namespace {

constexpr const char* kAdjectives[] = {"Warm", "Dark", "Glass", "Soft", "Deep", "Bright", "Dusty", "Cold",
                                       "Fat", "Thin", "Hollow", "Wide", "Gritty", "Silk", "Broken", "Lunar"};
constexpr const char* kNouns[] = {"Pad", "Bass", "Lead", "Pluck", "Bells", "Choir", "Strings", "Keys",
                                  "Drone", "Arp", "Brass", "Sweep", "Organ", "Wind", "Drops", "Pulse"};

// A small hash so neighbouring slots differ in every varied parameter.
std::uint32_t Mix(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x7FEB352Du;
  x ^= x >> 15;
  x *= 0x846CA68Bu;
  x ^= x >> 16;
  return x;
}

}  // namespace

SoundData VirtualInstrument::DemoSound(int index) {
  SoundData s = MakeDefaultInitSound();
  const auto h = [index](int salt) { return Mix(static_cast<std::uint32_t>(index * 977 + salt)); };
  const auto put = [&s](std::size_t offset, std::uint32_t value) { s[offset] = static_cast<std::uint8_t>(value); };
  // Only parameters whose whole 0..127 range (or the stated subset) is valid
  // are varied, so every demo sound opens cleanly in the editor.
  put(8, 16 + 12 * (2 + h(1) % 5));  // osc 1 octave 32' .. 2'
  put(15, 1 + h(2) % 4);             // osc 1 shape: pulse, saw, triangle, sine
  put(16, h(3) % 128);               // osc 1 pulse width
  put(24, 16 + 12 * (2 + h(4) % 5)); // osc 2 octave
  put(26, 54 + h(5) % 21);           // osc 2 detune -10..+10
  put(31, h(6) % 5);                 // osc 2 shape: off .. sine
  put(70, h(7) % 128);               // osc 2 level
  put(85, 20 + h(8) % 108);          // filter 1 cutoff
  put(87, h(9) % 100);               // filter 1 resonance
  for (int e = 0; e < 2; ++e) {      // filter and amplifier envelopes
    const std::size_t b = 203 + 12 * static_cast<std::size_t>(e);
    put(b + 3, h(10 + e) % 128);  // attack
    put(b + 5, h(12 + e) % 128);  // decay
    put(b + 6, h(14 + e) % 128);  // sustain
    put(b + 9, h(16 + e) % 128);  // release
  }
  put(168, h(18) % 128);             // LFO 1 speed
  const int bank = index / kProgramsPerBank, program = index % kProgramsPerBank;
  std::string name = std::string(kAdjectives[(program + bank * 3) % 16]) + " " + kNouns[(program / 16 + bank * 5 + program) % 16];
  name += " " + std::to_string(program + 1);
  SetSoundName(s, name.substr(0, 16));
  SetCategory(s, static_cast<std::uint8_t>(1 + h(19) % 12));  // never "Init"
  s[offs::kBank] = static_cast<std::uint8_t>(bank);
  s[offs::kProgram] = static_cast<std::uint8_t>(program);
  s[offs::kChecksum] = ChecksumOf(s);
  return s;
}

GlobalData VirtualInstrument::DemoGlobals() {
  GlobalData g;
  g.bytes = {};
  g.bytes[0] = sysex::kStart;
  g.bytes[1] = sysex::kWaldorf;
  g.bytes[2] = sysex::kBlofeld;
  g.bytes[3] = 0x7F;
  g.bytes[4] = sysex::kGlobalDump;
  for (int p = 0; p < kPartCount; ++p) g.SetPartSound(p, p);  // part p plays A00(p+1)
  g.bytes[GlobalData::kChecksum] = g.ComputeChecksum();
  g.bytes[kGlobalDataSize - 1] = sysex::kEnd;
  return g;
}

VirtualInstrument::VirtualInstrument() : global_(DemoGlobals()) {
  for (int i = 0; i < kSlotCount; ++i) slots_[static_cast<std::size_t>(i)] = DemoSound(i);
  editBuffer_ = slots_[0];
  editBuffer_[offs::kBank] = kEditBufferBank;
  editBuffer_[offs::kProgram] = 0;
  thread_ = std::thread([this] { Run(); });
}

VirtualInstrument::~VirtualInstrument() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

std::int64_t VirtualInstrument::NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void VirtualInstrument::Receive(std::span<const std::uint8_t> message) {
  if (message.empty()) return;
  if (message[0] == sysex::kStart)
    HandleSysEx(message);
  else
    HandleShort(message);
}

void VirtualInstrument::HandleSysEx(std::span<const std::uint8_t> m) {
  if (m.size() < 6 || m[1] != sysex::kWaldorf || m[2] != sysex::kBlofeld || m.back() != sysex::kEnd) return;
  const std::uint8_t device = m[3];
  const std::uint8_t command = m[4];
  std::unique_lock lock(mutex_);
  switch (command) {
    case sysex::kSoundRequest: {
      if (m.size() != 9) return;
      ++requests_;
      const std::uint8_t bank = m[5], program = m[6];
      if (program > 127 || (bank > 7 && bank != kEditBufferBank)) return;  // the instrument stays silent
      const int key = bank == kEditBufferBank ? kEditBufferKey : bank * 128 + program;
      Reply(key, DumpOf(key, device));
      return;
    }
    case sysex::kGlobalRequest: {
      ++requests_;
      GlobalData g = global_;
      g.bytes[3] = device;
      Reply(kGlobalKey, std::vector<std::uint8_t>(g.bytes.begin(), g.bytes.end()));
      return;
    }
    case sysex::kSoundDump: {
      if (m.size() != kSoundSize) return;
      const SoundData s = SoundData::FromBytes(m);
      const std::uint8_t bank = s[offs::kBank], program = s[offs::kProgram];
      if (bank == kEditBufferBank)
        editBuffer_ = s;
      else if (bank < 8 && program < 128)
        slots_[static_cast<std::size_t>(bank * 128 + program)] = s;
      return;
    }
    case sysex::kGlobalDump:
      if (m.size() == kGlobalDataSize) std::copy(m.begin(), m.end(), global_.bytes.begin());
      return;
    case sysex::kParameterChange: {
      if (m.size() != 10 || m[5] != 0) return;
      const int parameter = m[6] * 128 + m[7];
      if (parameter < sysex::kParameterCount) editBuffer_[offs::kFirstParameter + static_cast<std::size_t>(parameter)] = m[8];
      return;
    }
    default:
      return;
  }
}

void VirtualInstrument::HandleShort(std::span<const std::uint8_t> m) {
  const std::uint8_t status = m[0];
  const int channel = status & 0x0F;
  std::lock_guard lock(mutex_);
  if ((status & 0xF0) == 0xB0 && m.size() >= 3 && m[1] == 0x00) {
    bankSelect_[static_cast<std::size_t>(channel)] = m[2];
  } else if ((status & 0xF0) == 0xC0 && m.size() >= 2) {
    const int bank = bankSelect_[static_cast<std::size_t>(channel)];
    if (bank < 8) {
      editBuffer_ = slots_[static_cast<std::size_t>(bank * 128 + m[1])];
      editBuffer_[offs::kBank] = kEditBufferBank;
      editBuffer_[offs::kProgram] = 0;
    }
  }
  // Notes and other controllers make sound on a real instrument; nothing to keep.
}

// Called with mutex_ held. key is a slot or kEditBufferKey.
std::vector<std::uint8_t> VirtualInstrument::DumpOf(int key, std::uint8_t device) const {
  const bool editBuffer = key == kEditBufferKey;
  SoundData s = editBuffer ? editBuffer_ : slots_[static_cast<std::size_t>(key)];
  s[offs::kDeviceId] = device;
  s[offs::kBank] = editBuffer ? kEditBufferBank : static_cast<std::uint8_t>(key / 128);
  s[offs::kProgram] = editBuffer ? 0 : static_cast<std::uint8_t>(key % 128);
  s[offs::kChecksum] = ChecksumOf(s);
  return std::vector<std::uint8_t>(s.bytes.begin(), s.bytes.end());
}

// Called with mutex_ held.
void VirtualInstrument::Reply(int key, std::vector<std::uint8_t> bytes) {
  std::int64_t extraUs = 0;
  const auto device = bytes.size() > 3 ? bytes[3] : std::uint8_t{0};
  const int next = key >= 0 && key < kSlotCount - 1 ? key + 1 : 0;
  if (auto it = faults_.find(key); it != faults_.end()) {
    const Fault f = it->second;
    if (f.once) faults_.erase(it);
    switch (f.kind) {
      case FaultKind::Drop:
        return;
      case FaultKind::Delay:
        extraUs = std::int64_t{f.delayMs} * 1000;
        break;
      case FaultKind::Truncate:
        bytes.resize(static_cast<std::size_t>(std::clamp<int>(f.keepBytes, 1, static_cast<int>(bytes.size()) - 1)));
        bytes.push_back(sysex::kEnd);
        break;
      case FaultKind::Corrupt:
        // A flipped data bit keeps the framing intact: only the checksum can
        // tell the damage.
        bytes[bytes.size() / 2] ^= 0x01;
        break;
      case FaultKind::CorruptAs7F:
        bytes[bytes.size() / 2] ^= 0x01;
        if (bytes.size() == kSoundSize) bytes[offs::kChecksum] = 0x7F;
        break;
      case FaultKind::Junk: {
        Enqueue({0x90, 0x40, 0x64}, 0);
        Enqueue({0xF0, 0x41, 0x10, 0x42, 0x12, 0x00, 0xF7}, 0);
        Enqueue({0xFE}, 0);
        // A clock byte in the middle of the reply, as a real cable may carry.
        std::vector<std::uint8_t> first(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
        first.push_back(0xF8);
        Enqueue(std::move(first), 0);
        bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
        break;
      }
      case FaultKind::Split: {
        for (std::size_t at = 0; at < bytes.size(); at += 7)
          Enqueue(std::vector<std::uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                            bytes.begin() + static_cast<std::ptrdiff_t>(std::min(at + 7, bytes.size()))),
                  0);
        wake_.notify_all();
        return;
      }
      case FaultKind::CutOff:
        Enqueue(std::vector<std::uint8_t>(bytes.begin(),
                                          bytes.begin() + std::clamp<std::ptrdiff_t>(f.keepBytes, 1,
                                                                                     static_cast<std::ptrdiff_t>(bytes.size()) - 1)),
                0);
        break;
      case FaultKind::Interleave: {
        std::vector<std::uint8_t> other = DumpOf(next, device);
        other.resize(other.size() / 2);
        Enqueue(std::move(other), 0);
        break;
      }
      case FaultKind::WrongSlot:
        bytes = DumpOf(next, device);
        break;
      case FaultKind::EditBuffer:
        Enqueue(DumpOf(kEditBufferKey, device), 0);
        break;
      case FaultKind::Duplicate:
        Enqueue(bytes, 0);
        break;
      case FaultKind::Flood: {
        std::vector<std::uint8_t> flood(1'500'000, 0x55);
        flood[0] = sysex::kStart;
        Enqueue(std::move(flood), 0);
        break;
      }
    }
  }
  Enqueue(std::move(bytes), extraUs);
}

// Called with mutex_ held.
void VirtualInstrument::Enqueue(std::vector<std::uint8_t> bytes, std::int64_t extraUs) {
  std::int64_t due = NowUs() + std::int64_t{latencyMs_} * 1000 + extraUs;
  if (wireSpeed_) {
    due = std::max(due, wireFreeUs_) + static_cast<std::int64_t>(bytes.size()) * 1'000'000 / kWireBytesPerSecond;
    wireFreeUs_ = due;
  }
  // Equal due times keep their order: pieces of one reply stay in sequence.
  queue_.emplace(due, std::move(bytes));
  wake_.notify_all();
}

void VirtualInstrument::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stop_) return;
    if (queue_.empty()) {
      wake_.wait(lock);
      continue;
    }
    const std::int64_t due = queue_.begin()->first;
    const std::int64_t now = NowUs();
    if (due > now) {
      wake_.wait_for(lock, std::chrono::microseconds(due - now));
      continue;
    }
    std::vector<std::uint8_t> bytes = std::move(queue_.begin()->second);
    queue_.erase(queue_.begin());
    delivering_ = true;
    lock.unlock();
    {
      std::lock_guard sinkLock(sinkMutex_);
      try {
        if (sink_) sink_(bytes);
      } catch (...) {
        // A failing port loses this reply, as a pulled cable would; the
        // instrument itself carries on.
      }
    }
    lock.lock();
    delivering_ = false;
    ++replies_;
    wake_.notify_all();
  }
}

void VirtualInstrument::SetReplySink(ReplySink sink) {
  std::lock_guard sinkLock(sinkMutex_);
  sink_ = std::move(sink);
}

void VirtualInstrument::SetLatencyMs(int ms) {
  std::lock_guard lock(mutex_);
  latencyMs_ = std::max(0, ms);
}

void VirtualInstrument::SetWireSpeed(bool on) {
  std::lock_guard lock(mutex_);
  wireSpeed_ = on;
}

void VirtualInstrument::InjectFault(int key, Fault fault) {
  std::lock_guard lock(mutex_);
  faults_[key] = fault;
}

void VirtualInstrument::ClearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

SoundData VirtualInstrument::Sound(int index) const {
  std::lock_guard lock(mutex_);
  return slots_.at(static_cast<std::size_t>(index));
}

void VirtualInstrument::SetSound(int index, const SoundData& sound) {
  std::lock_guard lock(mutex_);
  slots_.at(static_cast<std::size_t>(index)) = sound;
}

SoundData VirtualInstrument::EditBuffer() const {
  std::lock_guard lock(mutex_);
  return editBuffer_;
}

GlobalData VirtualInstrument::Global() const {
  std::lock_guard lock(mutex_);
  return global_;
}

int VirtualInstrument::RequestsReceived() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

int VirtualInstrument::RepliesSent() const {
  std::lock_guard lock(mutex_);
  return replies_;
}

bool VirtualInstrument::WaitIdle(int timeoutMs) const {
  std::unique_lock lock(mutex_);
  return wake_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return queue_.empty() && !delivering_; });
}

}  // namespace tarvix
