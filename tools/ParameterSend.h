#pragma once
// How the tools audition a sound: one single-parameter message per parameter
// byte that differs from what the instrument already holds. The main window
// supplies the callback and turns each call into the instrument's parameter
// change message, so the tools know nothing of MIDI.

#include <cstdint>
#include <functional>

#include "library/SoundData.h"

namespace tarvix {

// parameterNumber is offset - 7 (0..382); value is a 7-bit data byte.
using ParameterSendFn = std::function<void(int parameterNumber, std::uint8_t value)>;

// A SysEx data byte cannot carry bit 7 (it would read as a status byte and
// break the message), so stray 8-bit values from foreign files are sent with
// their low seven bits only.
inline std::uint8_t ToDataByte(std::uint8_t v) { return static_cast<std::uint8_t>(v & 0x7F); }

inline bool IsParameterOffset(std::size_t o) { return o >= offs::kFirstParameter && o <= offs::kLastParameter; }

// Sends every parameter byte (offsets 7..389) where before and after differ,
// in ascending order, with the after value. Returns the number of messages.
int SendChangedParameters(const SoundData& before, const SoundData& after, const ParameterSendFn& send);

}  // namespace tarvix
