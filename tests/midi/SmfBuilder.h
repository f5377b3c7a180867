#pragma once
// Builds Standard MIDI Files byte by byte for the converter tests, the way
// other programs write them: several tracks, meta events, running status,
// SysEx as F0 events, divided packets and F7 escapes.

#include <cstdint>
#include <string>
#include <vector>

namespace tarvix::test {

using Bytes = std::vector<std::uint8_t>;

inline void AppendVlq(Bytes& out, std::uint32_t v) {
  std::uint8_t tmp[5];
  int n = 0;
  tmp[n++] = v & 0x7F;
  while (v >>= 7) tmp[n++] = static_cast<std::uint8_t>(0x80 | (v & 0x7F));
  while (n > 0) out.push_back(tmp[--n]);
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
    AppendVlq(data, static_cast<std::uint32_t>(text.size()));
    data.insert(data.end(), text.begin(), text.end());
    return *this;
  }
  // An F0 event: `msg` is the whole message as sent, F0 included.
  Track& Sysex(const Bytes& msg) {
    data.push_back(0xF0);
    AppendVlq(data, static_cast<std::uint32_t>(msg.size() - 1));
    data.insert(data.end(), msg.begin() + 1, msg.end());
    return *this;
  }
  // An F7 event with its payload as given (continuation or escape).
  Track& F7(const Bytes& payload) {
    data.push_back(0xF7);
    AppendVlq(data, static_cast<std::uint32_t>(payload.size()));
    data.insert(data.end(), payload.begin(), payload.end());
    return *this;
  }
  Track& End() {
    Raw({0x00, 0xFF, 0x2F, 0x00});
    return *this;
  }
  Bytes data;
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
