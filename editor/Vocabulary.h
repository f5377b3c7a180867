#pragma once
// The constant vocabulary of the editor: the entries of every choice list and
// the names the caption formatters pick from. All texts are UTF-8 (the only
// non-ASCII character anywhere is the degree sign of the start-phase
// caption), so they go straight into QString::fromUtf8 and into JSON.

#include <string>
#include <vector>

namespace tarvix {

using Vocabulary = std::vector<std::string>;

const Vocabulary& FmSourceNames();        // 12
const Vocabulary& ModSourceNames();       // 31
const Vocabulary& ModSourceBNames();      // 31, entry 0 reads "Constant"
const Vocabulary& ModDestinationNames();  // 58; the matrix lists take 54
const Vocabulary& MatrixDestinationNames();  // the first 54 of the above
const Vocabulary& WaveShapeNames();       // 125
const Vocabulary& Osc3ShapeNames();       // the first 5 wave shapes
const Vocabulary& OctaveFeet();           // 9
const Vocabulary& LfoSyncNames();         // 64, indexed by speed div 2
const Vocabulary& ArpStepNames();         // 8
const Vocabulary& ArpAccentNames();       // 8
const Vocabulary& ArpTimingNames();       // 8
const Vocabulary& ArpLengthNames();       // 8
const Vocabulary& ClockNames();           // 43, arpeggiator clock
const Vocabulary& ArpNoteLengthNames();   // 44: the clock list, then "legato"
const Vocabulary& DelayLengthNames();     // 30: the first 30 of the clock list

const Vocabulary& GlideModeNames();
const Vocabulary& UnisonoNames();
const Vocabulary& AllocationNames();
const Vocabulary& FilterTypeNames();
const Vocabulary& FilterRoutingNames();
const Vocabulary& Effect1TypeNames();     // 6
const Vocabulary& Effect2TypeNames();     // 9
const Vocabulary& EffectCurveNames();     // 12
const Vocabulary& LfoShapeNames();
const Vocabulary& EnvelopeModeNames();
const Vocabulary& EnvelopeTriggerNames();
const Vocabulary& ModifierOperationNames();
const Vocabulary& ArpModeNames();
const Vocabulary& ArpPatternNames();      // "off", "User", "1".."15"
const Vocabulary& ArpOctaveNames();       // "1".."10"
const Vocabulary& ArpDirectionNames();
const Vocabulary& ArpSortOrderNames();
const Vocabulary& ArpVelocityNames();
const Vocabulary& ArpPatternLengthNames();  // "1".."16"
const Vocabulary& CategoryListNames();    // the 13 sound categories

// The entries of an oscillator 1 or 2 shape list: the 125 wave shapes, then
// "A<k> <line>" for line k (from 1) of the sample name file.
Vocabulary ShapeListEntries(const std::vector<std::string>& sampleLines);

}  // namespace tarvix
