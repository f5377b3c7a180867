#pragma once
// The byte behind each control that schemas and randomizers address: where it
// sits in the sound dump and how a value index is stored there. Randomizers
// write through this table; the editor can also take the schema descriptors
// from here until its own parameter map supplies them.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "editor/SchemaControl.h"
#include "library/SoundData.h"

namespace tarvix {

enum class SchemaEncoding {
  Raw,           // byte = value
  Centred,       // byte = value + 64
  Octave,        // byte = 16 + 12 x position
  Index,         // byte = list index
  Flag,          // lit 1, dark 0
  InvertedFlag,  // lit 0, dark 1
  Packed,        // shares its byte with other controls; see PackedRules.h
};

struct SchemaControlSpec {
  SchemaControl control;
  int offset = 0;  // position in the 392-byte dump
  SchemaEncoding encoding = SchemaEncoding::Raw;
};

// Every control that has a schema entry, in no particular order.
const std::vector<SchemaControlSpec>& ControlTable();
// nullptr for a name the table does not know.
const SchemaControlSpec* FindControl(std::string_view name);
// The descriptors alone, for building a schema without the parameter map.
std::vector<SchemaControl> ControlTableDescriptors();

// The byte for a value index of an unpacked control: knob value, list index,
// or LED index (0 "On", 1 "Off"). Clamped to 0..127 so a bad value can never
// produce an invalid SysEx data byte.
std::uint8_t EncodeValue(const SchemaControlSpec& spec, int value);
// The value index the control shows for the sound's bytes, packed controls
// included; -1 for a list byte outside the list (no selection).
int DecodeValue(const SchemaControlSpec& spec, const SoundData& sound);

}  // namespace tarvix
