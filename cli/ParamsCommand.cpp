// tarvix-cli params: the decoded parameters of one sound of a SysEx file,
// for checking what a sound holds without the editor.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "library/AppPaths.h"
#include "cli/Commands.h"
#include "editor/CaptionFormat.h"
#include "editor/ControlState.h"
#include "editor/ParameterMap.h"
#include "library/AtomicFile.h"
#include "library/InitSound.h"
#include "library/SoundData.h"

namespace tarvix::cli {
namespace {

// One record of the file, read without loading the rest of it.
SoundData ReadRecord(const std::string& file, long long index) {
  std::ifstream in = OpenFileForReading(file);
  in.seekg(0, std::ios::end);
  const long long size = static_cast<long long>(in.tellg());
  const long long count = size < 0 ? 0 : size / static_cast<long long>(kSoundSize);
  if (index < 0 || index >= count)
    throw CliError(file + ": index " + std::to_string(index) + " out of range (the file holds " +
                   std::to_string(count) + (count == 1 ? " sound)" : " sounds)"));
  SoundData s;
  in.seekg(index * static_cast<long long>(kSoundSize));
  in.read(reinterpret_cast<char*>(s.data()), static_cast<std::streamsize>(kSoundSize));
  if (!in) throw CliError(file + ": read error at record " + std::to_string(index));
  if (s[offs::kStart] != 0xF0 || s[offs::kManufacturer] != 0x3E || s[offs::kModel] != 0x13 ||
      s[offs::kCommand] != 0x10)
    throw CliError(file + ": record " + std::to_string(index) + " is not a sound dump");
  return s;
}

// The optional sample names, as the editor's shape lists show them.
std::vector<std::string> SampleLines() {
  std::vector<std::string> lines;
  std::ifstream in(SampleNamesFolder(ProcessPaths().userDataDir, ProcessPaths().dataDir) / kSampleNamesFileName);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

struct Decoded {
  const ControlSpec* spec;
  int byte;
  int value;  // kNoSelection for a list without entry
  std::string text;
};

std::vector<Decoded> Decode(const SoundData& s, const std::vector<std::string>& samples) {
  const auto& map = ParameterMap::Instance();
  const int sampleCount = static_cast<int>(samples.size());
  const Vocabulary shapes = ShapeListEntries(samples);
  const ControlState state = ReadControls(s, sampleCount);
  std::vector<Decoded> out;
  for (std::size_t i = 0; i < map.size(); ++i) {
    const auto& c = map[i];
    Decoded d{&c, s[static_cast<std::size_t>(c.offset)], state.values[i], {}};
    if (c.IsKnob()) {
      auto caption = (d.value >= c.min && d.value <= c.max) ? KnobCaptionFor(state, i) : std::nullopt;
      d.text = caption ? *caption : std::to_string(d.value);
    } else if (c.IsList()) {
      const Vocabulary& entries = c.encoding == Encoding::Shape ? shapes : *c.entries;
      if (d.value != kNoSelection && d.value < static_cast<int>(entries.size()))
        d.text = entries[static_cast<std::size_t>(d.value)];
    } else {
      d.text = d.value ? "On" : "Off";
    }
    out.push_back(std::move(d));
  }
  return out;
}

void Run(const std::string& file, long long index, bool json) {
  const SoundData s = ReadRecord(file, index);
  const auto decoded = Decode(s, SampleLines());
  if (json) {
    nlohmann::json arr = nlohmann::json::array();
    for (auto& d : decoded) {
      nlohmann::json o;
      o["control"] = d.spec->name;
      o["offset"] = d.spec->offset;
      o["parameter"] = d.spec->Parameter();
      o["byte"] = d.byte;
      if (d.spec->IsList() && d.value == kNoSelection) o["value"] = nullptr;
      else o["value"] = d.value;
      o["text"] = d.text;
      arr.push_back(std::move(o));
    }
    // Sample names come from a user's text file and may not be UTF-8.
    std::cout << arr.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    return;
  }
  for (auto& d : decoded) {
    char head[96];
    std::snprintf(head, sizeof head, "%-28s offset %3d  param %3d  byte %3d  ", d.spec->name.c_str(), d.spec->offset,
                  d.spec->Parameter(), d.byte);
    std::cout << head << (d.spec->IsList() && d.value == kNoSelection ? std::string("-") : std::to_string(d.value))
              << "  " << d.text << "\n";
  }
}

const CommandRegistrar kParamsCommand("params", [](CLI::App& app) {
  auto* cmd = app.add_subcommand("params", "Show the decoded parameters of one sound of a SysEx file");
  auto file = std::make_shared<std::string>();
  auto index = std::make_shared<long long>(0);
  auto json = std::make_shared<bool>(false);
  cmd->add_option("file", *file, "SysEx sound file")->required();
  cmd->add_option("--index", *index, "Record number in the file, from 0 (default 0)");
  cmd->add_flag("--json", *json, "Print a JSON array, one object per editor control");
  cmd->callback([file, index, json] { Run(*file, *index, *json); });
});

}  // namespace
}  // namespace tarvix::cli
