#include "library/AppPaths.h"

#include <cstdlib>
#include <system_error>

#include "library/InitSound.h"
#include "library/Settings.h"

namespace tarvix {

namespace {

namespace fs = std::filesystem;

constexpr const char* kLogFileName = "blofeld.log";
constexpr const char* kAppFolder = "tarvix";

// An XDG variable counts only when it holds an absolute path; anything else
// is ignored in favour of the default below the home folder.
fs::path XdgBase(const std::string& value, const PathFacts& facts, const char* homeRelative) {
  if (!value.empty() && fs::path(value).is_absolute()) return fs::path(value);
  // Without a home folder there is no sensible per-user place; the working
  // folder is the one place the user chose.
  if (facts.home.empty()) return facts.workingDir;
  return fs::path(facts.home) / homeRelative;
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

}  // namespace

AppPaths ResolveAppPaths(const PathFacts& facts) {
  AppPaths p;
  const fs::path installed = (facts.executableDir / kInstalledDataDir).lexically_normal();
  const bool besideExecutable = facts.fileExists(facts.executableDir / kInitSoundFileName);
  const bool isInstalled = !besideExecutable && facts.fileExists(installed / kInitSoundFileName);
  // With the shipped files found nowhere the program still starts from its
  // own folder; the missing init sound is reported when it is read.
  p.dataDir = isInstalled ? installed : facts.executableDir;

  if (facts.fileExists(facts.workingDir / kSettingsFileName)) {
    p.mode = PathMode::Portable;
    p.settingsFile = facts.workingDir / kSettingsFileName;
    p.logFile = facts.workingDir / kLogFileName;
    p.userDataDir = facts.workingDir;
  } else if (isInstalled) {
    p.mode = PathMode::Installed;
    p.settingsFile = XdgBase(facts.xdgConfigHome, facts, ".config") / kAppFolder / kSettingsFileName;
    p.userDataDir = XdgBase(facts.xdgDataHome, facts, ".local/share") / kAppFolder;
    p.logFile = XdgBase(facts.xdgStateHome, facts, ".local/state") / kAppFolder / kLogFileName;
  } else {
    p.mode = PathMode::BuildTree;
    p.settingsFile = facts.executableDir / kSettingsFileName;
    p.logFile = facts.workingDir / kLogFileName;
    p.userDataDir = facts.executableDir;
  }
  return p;
}

PathFacts CurrentPathFacts() {
  PathFacts f;
  f.executableDir = ProgramDirectory();
  std::error_code ec;
  f.workingDir = fs::current_path(ec);
  if (ec) f.workingDir = ".";
  f.home = Env("HOME");
  f.xdgConfigHome = Env("XDG_CONFIG_HOME");
  f.xdgDataHome = Env("XDG_DATA_HOME");
  f.xdgStateHome = Env("XDG_STATE_HOME");
  f.fileExists = [](const fs::path& file) {
    std::error_code e;
    return fs::is_regular_file(file, e);
  };
  return f;
}

const AppPaths& ProcessPaths() {
  static const AppPaths paths = ResolveAppPaths(CurrentPathFacts());
  return paths;
}

std::vector<fs::path> PrepareWritableFolders(const AppPaths& paths) {
  std::vector<fs::path> failed;
  if (paths.mode != PathMode::Installed) return failed;
  for (const fs::path& dir : {paths.settingsFile.parent_path(), paths.userDataDir, paths.logFile.parent_path()}) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir, ec)) failed.push_back(dir);
  }
  return failed;
}

std::filesystem::path SampleNamesFolder(const fs::path& userDataDir, const fs::path& dataDir) {
  std::error_code ec;
  if (fs::is_regular_file(userDataDir / kSampleNamesFileName, ec)) return userDataDir;
  return dataDir;
}

const char* PathModeName(PathMode mode) {
  switch (mode) {
    case PathMode::Portable: return "portable";
    case PathMode::BuildTree: return "build tree";
    case PathMode::Installed: return "installed";
  }
  return "";
}

}  // namespace tarvix
