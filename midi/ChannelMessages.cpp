#include "midi/ChannelMessages.h"

namespace tarvix {

namespace {
std::uint8_t Status(int base, int channel) { return static_cast<std::uint8_t>(base | (channel & 0x0F)); }
std::uint8_t Data(int v) { return static_cast<std::uint8_t>(v & 0x7F); }
}  // namespace

void NoteOn(MidiOut& out, int channel, int note, int velocity) {
  out.SendShort(Status(0x90, channel), Data(note), Data(velocity));
}

void NoteOff(MidiOut& out, int channel, int note) { out.SendShort(Status(0x80, channel), Data(note), 0); }

void BankSelect(MidiOut& out, int channel, int bank) {
  out.SendShort(Status(0xB0, channel), 0x00, Data(bank));  // controller 0: bank select MSB
}

void ProgramChange(MidiOut& out, int channel, int program) {
  out.SendShort(Status(0xC0, channel), Data(program), 0);
}

void ControlChange(MidiOut& out, int channel, int controller, int value) {
  out.SendShort(Status(0xB0, channel), Data(controller), Data(value));
}

void Panic(MidiOut& out) {
  for (int channel = 0; channel < 16; ++channel) {
    ControlChange(out, channel, 123, 0);  // all notes off
    ControlChange(out, channel, 120, 0);  // all sound off
    ControlChange(out, channel, 64, 0);   // sustain pedal up
  }
}

}  // namespace tarvix
