#pragma once
// Channel messages to the instrument (notes, bank select, program change,
// controllers) and Panic. Channels are 0..15; data bytes are sent as their
// low seven bits so a stray value can never look like a status byte.

#include <cstdint>

#include "midi/MidiService.h"

namespace tarvix {

void NoteOn(MidiOut& out, int channel, int note, int velocity);
void NoteOff(MidiOut& out, int channel, int note);
void BankSelect(MidiOut& out, int channel, int bank);
void ProgramChange(MidiOut& out, int channel, int program);
void ControlChange(MidiOut& out, int channel, int controller, int value);
// For every channel 0..15: all notes off (123), all sound off (120),
// sustain off (64). 48 messages, no pause.
void Panic(MidiOut& out);

}  // namespace tarvix
