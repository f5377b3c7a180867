#pragma once
// The editor's randomizer commands: which controls each draws, in which
// order, and how each drawn value goes into the sound's bytes (packed bytes
// included). The draw itself is the caller's, normally the schema's
// RandomValueFor, so a command runs the same against any schema.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "library/SoundData.h"

namespace tarvix {

enum class RandomizerCommand {
  Osc1, Osc2, Osc3, Common, Filter1, Filter2, Routing,
  FilterEnvelope, AmpEnvelope, Envelope3, Envelope4,
  Lfo1, Lfo2, Lfo3, Modulation, Modifier,
  ArpGlobals, ArpStep, ArpAccent, ArpGlide, ArpTiming, ArpLength,
  Effect1, Effect2, InitArp,
  Oscillators, Filters, Envelopes, Lfos, Matrix, Arpeggiator, Effects, Sound,
};

// The menu or button caption, e.g. "Randomize Osc1", "Randomize Sound (Ctrl+0)".
std::string_view RandomizerCaption(RandomizerCommand command);
// Every command, in the order of the editor's randomizer table.
const std::vector<RandomizerCommand>& AllRandomizerCommands();

// How one step writes its drawn value(s).
enum class StepRule {
  Plain,          // the control's own encoding at `offset`
  Shape,          // shape list with sample flag at offset + 7
  UnisonoAllocation,  // draws `control` (unisono) then `second` (allocation)
  EnvelopeMode,   // draws `control` (trigger) then `second` (mode)
  ArpGlide, ArpStepType, ArpAccent, ArpTiming, ArpLength,
  Fixed,          // writes `value`, draws nothing
};

struct RandomStep {
  StepRule rule = StepRule::Plain;
  std::string control;  // drawn first; empty for Fixed
  std::string second;   // drawn second, for the two-list packed bytes
  int offset = 0;
  int value = 0;        // Fixed only
};

// The steps a command runs, in order. Group commands list the steps of their
// parts; "Randomize Sound" those of every command but "Init Arp".
std::vector<RandomStep> RandomizerSteps(RandomizerCommand command);

// Draws a value index for a control (knob value, list index, LED 0 "On" /
// 1 "Off").
using DrawValue = std::function<int(std::string_view control)>;

// Writes the value of an unpacked control into the sound. Leave it empty to
// use the encodings of the built-in control table; the editor may pass its
// parameter map's writer instead.
using WritePlainValue = std::function<void(SoundData& sound, std::string_view control, int value)>;

// Runs the command on the sound. Only bytes of the drawn controls change;
// the caller loads the controls from the sound afterwards, once.
void RunRandomizer(RandomizerCommand command, SoundData& sound, const DrawValue& draw,
                   const WritePlainValue& writePlain = {});
void RunSteps(const std::vector<RandomStep>& steps, SoundData& sound, const DrawValue& draw,
              const WritePlainValue& writePlain = {});

}  // namespace tarvix
