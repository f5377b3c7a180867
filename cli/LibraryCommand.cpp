// tarvix-cli library: the sound library without a window. Import files and
// folders, search by name, category and parameter values, rank by likeness.
#include <cstdio>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "library/SoundData.h"
#include "soundlib/SoundLibrary.h"

namespace tarvix::cli {
namespace {

std::filesystem::path LibraryFile(const std::string& db) {
  return db.empty() ? SoundLibrary::DefaultFile() : std::filesystem::path(db);
}

std::uint8_t ParseCategory(const std::string& text) {
  const auto& names = CategoryNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string_view n = names[i];
    if (n.size() == text.size() && std::equal(n.begin(), n.end(), text.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        }))
      return static_cast<std::uint8_t>(i);
  }
  std::string all;
  for (auto n : names) all += (all.empty() ? "" : ", ") + std::string(n);
  throw CliError("unknown category \"" + text + "\" (categories: " + all + ")");
}

nlohmann::json SoundJson(SoundLibrary& lib, const LibraryEntry& e) {
  nlohmann::json o;
  o["id"] = e.id;
  o["name"] = e.name;
  o["category"] = e.category;
  o["categoryName"] = CategoryName(e.category);
  o["fingerprint"] = e.fingerprint.ToHex();
  nlohmann::json names = nlohmann::json::array();
  nlohmann::json sightings = nlohmann::json::array();
  if (auto full = lib.Get(e.id)) {
    for (const auto& n : full->names)
      if (std::find(names.begin(), names.end(), n.name) == names.end()) names.push_back(n.name);
    for (const auto& s : full->sightings) sightings.push_back({{"source", s.source}, {"index", s.index}});
  }
  o["names"] = std::move(names);
  o["sightings"] = std::move(sightings);
  return o;
}

void PrintEntry(const LibraryEntry& e, const std::string& extra = {}) {
  char line[160];
  std::snprintf(line, sizeof line, "%7lld  %-16s  %-6s  %3d %s", static_cast<long long>(e.id), e.name.c_str(),
                CategoryName(e.category).c_str(), e.sightingCount, e.sightingCount == 1 ? "sighting " : "sightings");
  std::cout << line << extra << "\n";
}

void Dump(const nlohmann::json& j) { std::cout << j.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n"; }

struct Options {
  std::vector<std::string> paths;
  std::string db;
  std::string text;
  std::string category;
  std::vector<std::string> where;
  int limit = 0;
  bool json = false;
  long long id = 0;
};

void Import(const Options& o) {
  SoundLibrary lib(LibraryFile(o.db));
  std::vector<std::filesystem::path> paths(o.paths.begin(), o.paths.end());
  const ImportReport r = lib.ImportPaths(paths, [](const std::filesystem::path&, const ImportReport& one) {
    for (const auto& p : one.problems) std::cerr << "skipped: " << p << "\n";
  });
  std::cout << r.Summary() << std::endl;
}

void Find(const Options& o) {
  SoundLibrary lib(LibraryFile(o.db));
  LibraryQuery q;
  q.text = o.text;
  if (!o.category.empty()) q.category = ParseCategory(o.category);
  for (const auto& w : o.where) q.where.push_back(ParseParameterCondition(w));
  q.limit = o.limit;
  const auto found = lib.Find(q);
  if (o.json) {
    nlohmann::json arr = nlohmann::json::array();
    for (const auto& e : found) arr.push_back(SoundJson(lib, e));
    Dump(arr);
    return;
  }
  for (const auto& e : found) PrintEntry(e);
}

void Similar(const Options& o) {
  SoundLibrary lib(LibraryFile(o.db));
  const auto ranked = lib.Similar(o.id, o.limit > 0 ? o.limit : 10);
  if (o.json) {
    nlohmann::json arr = nlohmann::json::array();
    for (const auto& s : ranked) {
      nlohmann::json j = SoundJson(lib, s.entry);
      j["distance"] = s.distance;
      arr.push_back(std::move(j));
    }
    Dump(arr);
    return;
  }
  for (const auto& s : ranked) {
    char d[32];
    std::snprintf(d, sizeof d, "  distance %.4f", s.distance);
    PrintEntry(s.entry, d);
  }
}

void Wrap(void (*f)(const Options&), const Options& o) {
  try {
    f(o);
  } catch (const LibraryError& e) {
    throw CliError(e.what());
  }
}

const CommandRegistrar kLibraryCommand("library", [](CLI::App& app) {
  auto* lib = app.add_subcommand("library", "The sound library: every sound imported or read, searchable");
  lib->require_subcommand(1);
  auto o = std::make_shared<Options>();
  auto dbOption = [o](CLI::App* c) {
    c->add_option("--db", o->db, "Library file (default: library.db in the user's data folder)");
  };

  auto* imp = lib->add_subcommand("import", "Import SysEx and MIDI files, and folders recursively");
  imp->add_option("paths", o->paths, "Files and folders")->required();
  dbOption(imp);
  imp->callback([o] { Wrap(Import, *o); });

  auto* find = lib->add_subcommand("find", "Find sounds by name, category and parameter values");
  find->add_option("text", o->text, "Part of any name the sound was seen with (case does not matter)");
  find->add_option("--category", o->category, "Only sounds seen with this category (Arp, Atmo, Bass ...)");
  // One condition per --where, so that TEXT may follow it.
  find->add_option("--where", o->where, "PARAMETER=VALUE TEXT, e.g. \"Osc1 Shape=Saw\"; may be repeated")
      ->allow_extra_args(false);
  find->add_option("--limit", o->limit, "At most this many sounds");
  find->add_flag("--json", o->json, "Print a JSON array");
  dbOption(find);
  find->callback([o] { Wrap(Find, *o); });

  auto* sim = lib->add_subcommand("similar", "Sounds nearest to one, by their parameters");
  sim->add_option("id", o->id, "The library id of the sound")->required();
  sim->add_option("--limit", o->limit, "How many (default 10)");
  sim->add_flag("--json", o->json, "Print a JSON array");
  dbOption(sim);
  sim->callback([o] { Wrap(Similar, *o); });
});

}  // namespace
}  // namespace tarvix::cli
