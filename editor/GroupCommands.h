#pragma once
// The editor's swap and copy commands: they exchange or copy the values of
// corresponding controls of two oscillators, filters, envelopes or LFOs.
// They work on the control values only; the next transfer pass writes and
// sends what changed.

#include <string>
#include <vector>

#include "editor/ControlState.h"

namespace tarvix {

enum class ControlGroup { Oscillator, Filter, Envelope, Lfo };

struct GroupCommand {
  std::string caption;  // "Swap O12", "Copy LFO1 to LFO2", ...
  std::string name;     // object name of the button, e.g. "btnSwapO12"
  ControlGroup group;
  bool swap = false;    // false: copy `from` onto `to`
  int from = 1;         // instance numbers from 1
  int to = 2;
};

// The controls of one instance (oscillator 1..3, filter 1..2, envelope 1..4
// for filter, amplifier, 3, 4, LFO 1..3), in the same order for every
// instance of a group.
std::vector<std::string> GroupControls(ControlGroup group, int instance);
int GroupInstanceCount(ControlGroup group);
// The instance's name on the page ("Oscillator 1", "Filter Envelope", ...).
std::string GroupInstanceName(ControlGroup group, int instance);

const std::vector<GroupCommand>& AllGroupCommands();

// Applies the command; returns the indexes of the controls whose value
// changed. A value the target control cannot take (a wave shape or sample
// that oscillator 3's shorter list lacks) leaves the target as it is.
std::vector<std::size_t> ApplyGroupCommand(const GroupCommand& command, ControlState& state, int sampleCount = 0);

}  // namespace tarvix
