#define SI_NO_CONVERSION
#include "editor/SoundFamilySchema.h"

#include <SimpleIni.h>

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "editor/SchemaEntryList.h"
#include "library/AtomicFile.h"

namespace tarvix {
namespace {

constexpr std::size_t kOldKeyLength = 20;

// Knob tags whose allowed-value rows carry the caption text after the number.
bool HasCaptionText(int tag) {
  switch (tag) {
    case knobtag::kOctave:
    case knobtag::kKeytrack:
    case knobtag::kBalance:
    case knobtag::kStartPhase:
    case knobtag::kTempo:
    case knobtag::kLfoSpeed: return true;
    default: return false;
  }
}

// The part of a mask that stands for real values: characters beyond the
// control's value list (only in files edited by hand) are never drawn or shown.
std::string_view Usable(const std::string& mask, const SchemaControl& c) {
  return std::string_view(mask).substr(0, std::min<std::size_t>(mask.size(), static_cast<std::size_t>(ValueCount(c))));
}

}  // namespace

int FallbackIndex(const SchemaControl& knob) {
  const int count = ValueCount(knob);
  const int i = knob.tag == knobtag::kKeytrack ? 96 : count / 2;
  return std::clamp(i, 0, std::max(count - 1, 0));
}

SoundFamilySchema::SoundFamilySchema(const std::vector<SchemaControl>& controls) {
  std::unordered_map<std::string, std::size_t> known;
  for (const auto& c : controls) known.emplace(c.name, known.size()), controls_.push_back(c);
  for (const auto& def : SchemaEntryList()) {
    const auto it = known.find(def.control);
    if (it == known.end()) throw std::invalid_argument("schema entry \"" + def.key + "\": no control named " + def.control);
    byControl_[def.control].push_back(entries_.size());
    entries_.push_back({def.key, it->second, {}});
  }
}

const std::vector<std::size_t>& SoundFamilySchema::EntriesOf(std::string_view control) const {
  const auto it = byControl_.find(std::string(control));
  if (it == byControl_.end()) throw std::invalid_argument("no schema entry for control " + std::string(control));
  return it->second;
}

const SchemaControl* SoundFamilySchema::Control(std::string_view name) const {
  const auto it = byControl_.find(std::string(name));
  return it == byControl_.end() ? nullptr : &controls_[entries_[it->second.front()].control];
}

const std::string& SoundFamilySchema::MaskOf(std::string_view control) const {
  return entries_[EntriesOf(control).back()].mask;
}

void SoundFamilySchema::SetMaskOf(std::string_view control, const std::string& mask) {
  for (const std::size_t i : EntriesOf(control)) entries_[i].mask = mask;
}

void SoundFamilySchema::Load(const std::filesystem::path& file, Log* log) {
  CSimpleIniCaseA ini;
  ini.SetSpaces(false);
  // A file that cannot be read reads like an empty one: every key "0".
  (void)ini.LoadFile(file.c_str());
  std::string longKey;
  for (auto& e : entries_) {
    const char* value = ini.GetValue(kSchemaSection, e.name.c_str(), nullptr);
    // Files from older versions hold keys cut to 20 characters
    // ("Modulation1Destinati"); read those when the full key is missing.
    if (!value && e.name.size() > kOldKeyLength)
      value = ini.GetValue(kSchemaSection, e.name.substr(0, kOldKeyLength).c_str(), nullptr);
    e.mask = value ? value : "0";
    if (longKey.empty() && e.mask.size() > static_cast<std::size_t>(ValueCount(controls_[e.control]))) longKey = e.name;
  }
  if (log && !longKey.empty())
    log->LogMessage(file.string() + ": masks longer than their value lists (first: " + longKey +
                    "); the extra values are ignored");
}

void SoundFamilySchema::Save(const std::filesystem::path& file) const {
  CSimpleIniCaseA ini;
  ini.SetSpaces(false);
  std::error_code ec;
  if (std::filesystem::exists(file, ec) && ini.LoadFile(file.c_str()) < 0)
    throw std::runtime_error(file.string() + ": cannot read the existing schema file");
  for (const auto& e : entries_) {
    if (ini.SetValue(kSchemaSection, e.name.c_str(), e.mask.c_str()) < 0)
      throw std::runtime_error(file.string() + ": out of memory while writing the schema");
  }
  std::string text;
  if (ini.Save(text) < 0) throw std::runtime_error(file.string() + ": cannot format the schema");
  WriteFileAtomically(file, text);
}

int SoundFamilySchema::RandomValueFor(std::string_view name, RandomSource& random) {
  const auto& indexes = EntriesOf(name);
  const SchemaControl& c = controls_[entries_[indexes.back()].control];
  std::string mask = entries_[indexes.back()].mask;
  if (c.kind == ControlKind::Knob && ValueCount(c) > 0 && Usable(mask, c).find('1') == std::string_view::npos) {
    // Nothing allowed: allow the middle (keytrack: 96), and keep that.
    const auto count = static_cast<std::size_t>(ValueCount(c));
    if (mask.size() < count) mask.append(count - mask.size(), '0');
    mask[static_cast<std::size_t>(FallbackIndex(c))] = '1';
    SetMaskOf(name, mask);
  }
  const std::string_view usable = Usable(mask, c);
  const auto n = static_cast<std::uint32_t>(std::count(usable.begin(), usable.end(), '1'));
  // Drawn even when n is 0, so the sequence of draws does not depend on it.
  const std::uint32_t r = random.Random(n) + 1;
  int index = static_cast<int>(usable.size()) - 1;
  if (n > 0) {
    std::uint32_t seen = 0;
    for (std::size_t k = 0; k < usable.size(); ++k) {
      if (usable[k] == '1' && ++seen == r) {
        index = static_cast<int>(k);
        break;
      }
    }
  }
  // An empty mask has no last index; its first value is the safe choice.
  index = std::max(index, 0);
  return c.kind == ControlKind::Knob ? c.min + index : index;
}

void SoundFamilySchema::CreateFromValues(const std::function<int(const SchemaControl&)>& valueOf,
                                         const Tolerances& tolerances) {
  std::vector<std::string> masks(controls_.size());
  std::vector<bool> done(controls_.size(), false);
  for (auto& e : entries_) {
    if (!done[e.control]) {
      const SchemaControl& c = controls_[e.control];
      masks[e.control] = MaskAround(c, valueOf(c), tolerances);
      done[e.control] = true;
    }
    e.mask = masks[e.control];
  }
}

AllowedValueList SoundFamilySchema::AllowedValuesFor(
    std::string_view name, const std::function<std::string(const SchemaControl&, int)>& caption) const {
  const auto& indexes = EntriesOf(name);
  const SchemaControl& c = controls_[entries_[indexes.back()].control];
  const std::string& mask = entries_[indexes.back()].mask;
  AllowedValueList out;
  const int count = ValueCount(c);
  for (int i = 0; i < count; ++i) {
    switch (c.kind) {
      case ControlKind::Led: out.items.push_back(i == 0 ? "On" : "Off"); break;
      case ControlKind::List: out.items.push_back(caption(c, i)); break;
      case ControlKind::Knob: {
        const int v = c.min + i;
        std::string text = std::to_string(v);
        if (HasCaptionText(c.tag)) text += " " + caption(c, v);
        out.items.push_back(std::move(text));
        break;
      }
    }
    out.ticked.push_back(static_cast<std::size_t>(i) < mask.size() && mask[static_cast<std::size_t>(i)] != '0');
  }
  const std::string_view usable = Usable(mask, c);
  if (c.kind == ControlKind::Knob && count > 0 && usable.find('1') == std::string_view::npos)
    out.ticked[static_cast<std::size_t>(FallbackIndex(c))] = true;
  return out;
}

std::filesystem::path SoundFamilySchema::FileFor(const std::filesystem::path& folder, const std::string& name) {
  return folder / (name + kSchemaExtension);
}

std::vector<std::string> SoundFamilySchema::ListSchemas(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  const std::string_view ext = kSchemaExtension;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const std::string file = it->path().filename().string();
    if (file.size() >= ext.size() && file.ends_with(ext)) names.push_back(file.substr(0, file.size() - ext.size()));
  }
  // Listings come back in no useful order on most file systems; sorted names
  // make the first entry (the one loaded at start) predictable.
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tarvix
