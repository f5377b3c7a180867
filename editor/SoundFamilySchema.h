#pragma once
// A sound family: for every schema entry a mask of the value indexes a
// randomizer may draw for the entry's control. Kept in ".sndfamily" files
// (INI, section "Parameters", key = entry name, value = mask).
//
// Several entries can name one control. Reading a control's mask takes the
// last of them, setting a mask sets all of them, so the file keeps them equal.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "editor/SchemaControl.h"
#include "editor/Tolerances.h"
#include "library/Log.h"
#include "library/RandomSource.h"

namespace tarvix {

inline constexpr const char* kSchemaExtension = ".sndfamily";
inline constexpr const char* kSchemaSection = "Parameters";
// Shown when the save button is pressed with no schema name.
inline constexpr const char* kPleaseSetSchemaName = "Please set the schema name.";

struct SchemaEntry {
  std::string name;      // the key in the file
  std::size_t control;   // index into Controls()
  std::string mask;      // "0"/"1" per value index; empty at first
};

// The rows and first ticks of the allowed-value list of one control.
struct AllowedValueList {
  std::vector<std::string> items;
  std::vector<bool> ticked;
};

class SoundFamilySchema {
 public:
  // Builds the entries of SchemaEntryList(), each bound to the descriptor of
  // its control. Throws std::invalid_argument naming a control that
  // `controls` lacks.
  explicit SoundFamilySchema(const std::vector<SchemaControl>& controls);

  const std::vector<SchemaEntry>& Entries() const { return entries_; }
  const std::vector<SchemaControl>& Controls() const { return controls_; }
  // nullptr when no entry names the control.
  const SchemaControl* Control(std::string_view name) const;

  // Throws std::invalid_argument for a control with no entry.
  const std::string& MaskOf(std::string_view control) const;
  void SetMaskOf(std::string_view control, const std::string& mask);

  // Every mask := the file's value for its key, "0" for a missing key or a
  // missing file. Masks longer than their control's value list are kept as
  // read; the first such file is reported once on `log`.
  void Load(const std::filesystem::path& file, Log* log = nullptr);
  // Writes every key in list order. Keys and sections of an existing file
  // that the schema does not know are kept. Written atomically; throws on
  // failure.
  void Save(const std::filesystem::path& file) const;

  // Draws a value for the control: a knob value (Min-based), a list index or
  // an LED index (0 "On", 1 "Off"). A knob whose mask allows nothing gets its
  // middle value allowed, and that stays in the mask.
  int RandomValueFor(std::string_view control, RandomSource& random);

  // Rebuilds every mask around the control's present value index.
  void CreateFromValues(const std::function<int(const SchemaControl&)>& valueOf, const Tolerances& tolerances);

  // Rows for the allowed-value list. `caption` gives the entry text for a
  // list (value = index) and the caption formatter's text for a knob with
  // tag 1, 2, 3, 4, 9 or 10 (value = position).
  AllowedValueList AllowedValuesFor(std::string_view control,
                                    const std::function<std::string(const SchemaControl&, int)>& caption) const;

  // "<folder>/<name>.sndfamily"
  static std::filesystem::path FileFor(const std::filesystem::path& folder, const std::string& name);
  // Names of the schema files in a folder, without the extension, in the
  // order the folder listing gives them. A missing folder gives none.
  static std::vector<std::string> ListSchemas(const std::filesystem::path& folder);

 private:
  const std::vector<std::size_t>& EntriesOf(std::string_view control) const;

  std::vector<SchemaControl> controls_;
  std::vector<SchemaEntry> entries_;
  std::unordered_map<std::string, std::vector<std::size_t>> byControl_;
};

// The middle value index a knob falls back to when its mask allows nothing.
int FallbackIndex(const SchemaControl& knob);

}  // namespace tarvix
