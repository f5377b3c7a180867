#pragma once
// The keys of a ".sndfamily" file in the order they are written, each with
// the control whose values its mask describes. The spelling of the keys
// ("Modulation1Mount", "AmplifierMOdAmount", "Effetc1Mix", "Pitch Amount")
// and the entries that share one control (the second "LFO1StartPhase", the
// effect type and mix entries) are part of the file format that existing
// schema files use, so they stay exactly as they are.

#include <string>
#include <vector>

namespace tarvix {

struct SchemaEntryName {
  // Written in full. Keys of more than 20 characters were once cut to 20,
  // which made "FilterEnvelopeAttackLevel" overwrite "FilterEnvelopeAttack";
  // such cut keys are still read as a fallback.
  std::string key;
  std::string control;  // component name of the knob, list or LED
};

const std::vector<SchemaEntryName>& SchemaEntryList();

}  // namespace tarvix
