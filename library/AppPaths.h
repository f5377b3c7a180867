#pragma once
// Where the program finds what it ships and where it keeps what it writes.
//
// Three situations, decided once at start:
//  - Portable: "waldorf_blofeld.ini" sits in the working folder. Settings,
//    log and sound families all stay in that folder, as they always have.
//  - Build tree: the shipped files lie beside the executable (the program was
//    not installed). Settings and sound families stay beside the executable,
//    the log in the working folder, exactly as before installing existed.
//  - Installed: the shipped files are in "../share/tarvix" next to the
//    executable's folder. That tree may be read-only and shared, so nothing
//    is written there: settings go to $XDG_CONFIG_HOME/tarvix, sound families
//    and the user's sound library to $XDG_DATA_HOME/tarvix, the log to
//    $XDG_STATE_HOME/tarvix (each with its usual default below $HOME).
//
// The rules are a pure function of the facts handed in, so they can be tested
// without touching the real home or program folders.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tarvix {

enum class PathMode { Portable, BuildTree, Installed };

struct PathFacts {
  std::filesystem::path executableDir;  // folder of the running program
  std::filesystem::path workingDir;     // the working folder at start
  std::string home;                     // $HOME (empty when unset)
  std::string xdgConfigHome;            // $XDG_CONFIG_HOME (empty when unset)
  std::string xdgDataHome;              // $XDG_DATA_HOME
  std::string xdgStateHome;             // $XDG_STATE_HOME
  // Whether a regular file exists; tests hand in a fake file system.
  std::function<bool(const std::filesystem::path&)> fileExists;
};

struct AppPaths {
  PathMode mode = PathMode::BuildTree;
  std::filesystem::path dataDir;       // read-only shipped files: init sound, help pages, sample names
  std::filesystem::path settingsFile;  // "waldorf_blofeld.ini"
  std::filesystem::path logFile;       // "blofeld.log"
  std::filesystem::path userDataDir;   // sound families and the user's sound files
};

// The folder of shipped files installed relative to the executable.
inline constexpr const char* kInstalledDataDir = "../share/tarvix";

AppPaths ResolveAppPaths(const PathFacts& facts);

// The facts of this process: /proc/self/exe, the working folder, the
// environment and the real file system.
PathFacts CurrentPathFacts();

// ResolveAppPaths(CurrentPathFacts()), computed once per process.
const AppPaths& ProcessPaths();

// Creates the folders the writable paths live in (the installed case only;
// the other cases write into folders that exist). Returns the folders that
// could not be made, so the caller can report them.
std::vector<std::filesystem::path> PrepareWritableFolders(const AppPaths& paths);

const char* PathModeName(PathMode mode);

// The optional list of sample names for the oscillator shape lists. A copy in
// the user's data folder wins over the shipped one, so an installed program
// can still be given the user's own names.
inline constexpr const char* kSampleNamesFileName = "samplenames.txt";
std::filesystem::path SampleNamesFolder(const std::filesystem::path& userDataDir, const std::filesystem::path& dataDir);

}  // namespace tarvix
