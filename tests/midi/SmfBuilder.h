#pragma once
// Builds Standard MIDI Files byte by byte for the converter tests, the way other programs write them: several tracks,
// meta events, running status, SysEx as F0 events, divided packets and F7 escapes.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvix::test {

using Bytes = std::vector<std::uint8_t>;

inline void AppendVlq(Bytes& out, std::uint32_t v) {
  Bytes tmp{static_cast<std::uint8_t>(v & 0x7F)};
  while (v >>= 7) tmp.push_back(static_cast<std::uint8_t>(0x80 | (v & 0x7F)));
  out.insert(out.end(), tmp.rbegin(), tmp.rend());
}

inline void AppendBE(Bytes& out, std::uint32_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

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

inline Bytes MakeSmf(int format, const std::vector<Track>& tracks, int declaredTracks = -1) {
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

}  // namespace tarvix::test
