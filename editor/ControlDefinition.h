#pragma once
// One row of the parameter map: an editor control, the sound byte it edits,
// how the byte encodes the shown value, and where the control sits.

#include <string>
#include <string_view>

#include "editor/Vocabulary.h"

namespace tarvix {

enum class ControlKind { Knob, List, Led };

enum class Encoding {
  Raw,           // byte = value
  Centred,       // byte = value + 64
  Octave,        // byte = 16 + 12 x position
  Index,         // byte = list entry
  Flag,          // lit = 1
  InvertedFlag,  // lit = 0
  Packed,        // a bit field of a byte shared with other controls
  Shape,         // list entry split into shape byte and sample flag byte
};

// Whether a control writes its byte on every pass or only while the effect
// layout shows it (several controls can share one effect byte).
enum class WriteRule { Always, WhileVisible };

// The editor's tab pages in tab order; Header is the name/category strip
// above the tabs.
enum class Page { Oscillators, Filters, Envelopes, LFOs, Matrix, Arpeggiator, AmplifierEffects, Header };
std::string_view PageName(Page p);  // "Oscillators" ... "Amplifier / Effects", "" for Header

inline constexpr int kFirstParameterOffset = 7;

struct ControlSpec {
  std::string name;   // the control's object name, e.g. "KnobFilter1Cutoff"
  ControlKind kind = ControlKind::Knob;
  Encoding encoding = Encoding::Raw;
  int offset = 0;     // position of the byte in the 392-byte dump
  int min = 0;        // knob range; lists 0..entries-1; LEDs 0..1
  int max = 127;
  int tag = 0;        // knob caption formatter / tolerance class
  const Vocabulary* entries = nullptr;  // list entries (shape lists: without samples)
  std::string label;  // what the byte means ("Cutoff"); the caption of LEDs
  Page page = Page::Oscillators;
  std::string group;  // "Oscillator 1", "Filter Envelope", "Arp Step 3" ...
  // Packed: value = (byte >> shift) & mask; all controls of the byte write it whole.
  int shift = 0;
  int mask = 0x7F;
  int sampleFlagOffset = -1;  // Shape: the byte that says "entry is a sample"
  WriteRule rule = WriteRule::Always;
  // Lists: byte written when nothing is selected; -1 leaves the byte as loaded.
  int noSelectionByte = -1;
  // Index of the control whose state the caption also needs (the LFO speed
  // caption reads that LFO's Clocked LED); -1 for none.
  int captionDependsOn = -1;

  int Parameter() const { return offset - kFirstParameterOffset; }
  // Lists: entries without sample names; knobs and LEDs: 0.
  int EntryCount() const { return entries ? static_cast<int>(entries->size()) : 0; }
  bool IsKnob() const { return kind == ControlKind::Knob; }
  bool IsList() const { return kind == ControlKind::List; }
  bool IsLed() const { return kind == ControlKind::Led; }
};

}  // namespace tarvix
