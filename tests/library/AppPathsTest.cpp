// Where settings, log and sound families go, for every way the program is
// started: portable, from the build tree, installed, with odd environments.
#include <gtest/gtest.h>

#include <set>

#include "library/AppPaths.h"

namespace tarvix {
namespace {

namespace fs = std::filesystem;

struct Case {
  const char* what;
  // facts
  const char* exe;
  const char* cwd;
  const char* home;
  const char* config;
  const char* data;
  const char* state;
  std::set<std::string> files;  // files that exist
  // expected
  PathMode mode;
  const char* dataDir;
  const char* settings;
  const char* log;
  const char* userData;
};

TEST(AppPaths, RulesForEveryWayOfStarting) {
  const Case cases[] = {
      {"build tree: beside the executable, log in the working folder", "/src/build", "/src", "/home/u", "", "", "",
       {"/src/build/_initsound.syx"}, PathMode::BuildTree, "/src/build", "/src/build/waldorf_blofeld.ini",
       "/src/blofeld.log", "/src/build"},
      {"installed, XDG unset: defaults below home", "/usr/bin", "/home/u", "/home/u", "", "", "",
       {"/usr/share/tarvix/_initsound.syx"}, PathMode::Installed, "/usr/share/tarvix",
       "/home/u/.config/tarvix/waldorf_blofeld.ini", "/home/u/.local/state/tarvix/blofeld.log",
       "/home/u/.local/share/tarvix"},
      {"installed, XDG set", "/opt/t/bin", "/tmp", "/home/u", "/c", "/d", "/s", {"/opt/t/share/tarvix/_initsound.syx"},
       PathMode::Installed, "/opt/t/share/tarvix", "/c/tarvix/waldorf_blofeld.ini", "/s/tarvix/blofeld.log",
       "/d/tarvix"},
      {"installed, relative XDG values are ignored", "/usr/bin", "/w", "/home/u", "rel/c", "rel/d", "./s",
       {"/usr/share/tarvix/_initsound.syx"}, PathMode::Installed, "/usr/share/tarvix",
       "/home/u/.config/tarvix/waldorf_blofeld.ini", "/home/u/.local/state/tarvix/blofeld.log",
       "/home/u/.local/share/tarvix"},
      {"installed, no home and no XDG: the working folder", "/usr/bin", "/w", "", "", "", "",
       {"/usr/share/tarvix/_initsound.syx"}, PathMode::Installed, "/usr/share/tarvix", "/w/tarvix/waldorf_blofeld.ini",
       "/w/tarvix/blofeld.log", "/w/tarvix"},
      {"installed but settings in the working folder: portable", "/usr/bin", "/music", "/home/u", "/c", "/d", "/s",
       {"/usr/share/tarvix/_initsound.syx", "/music/waldorf_blofeld.ini"}, PathMode::Portable, "/usr/share/tarvix",
       "/music/waldorf_blofeld.ini", "/music/blofeld.log", "/music"},
      {"build tree with settings in the working folder: portable", "/src/build", "/src", "/home/u", "", "", "",
       {"/src/build/_initsound.syx", "/src/waldorf_blofeld.ini", "/src/build/waldorf_blofeld.ini"},
       PathMode::Portable, "/src/build", "/src/waldorf_blofeld.ini", "/src/blofeld.log", "/src"},
      {"both trees present: the one beside the executable wins", "/p/bin", "/w", "/home/u", "", "", "",
       {"/p/bin/_initsound.syx", "/p/share/tarvix/_initsound.syx"}, PathMode::BuildTree, "/p/bin",
       "/p/bin/waldorf_blofeld.ini", "/w/blofeld.log", "/p/bin"},
      {"shipped files nowhere: as from the build tree", "/x/bin", "/w", "/home/u", "", "", "", {}, PathMode::BuildTree,
       "/x/bin", "/x/bin/waldorf_blofeld.ini", "/w/blofeld.log", "/x/bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PathFacts f{c.exe, c.cwd, c.home, c.config, c.data, c.state,
                [&](const fs::path& p) { return c.files.count(p.lexically_normal().string()) > 0; }};
    const AppPaths p = ResolveAppPaths(f);
    EXPECT_EQ(PathModeName(p.mode), std::string(PathModeName(c.mode)));
    EXPECT_EQ(p.dataDir, fs::path(c.dataDir));
    EXPECT_EQ(p.settingsFile, fs::path(c.settings));
    EXPECT_EQ(p.logFile, fs::path(c.log));
    EXPECT_EQ(p.userDataDir, fs::path(c.userData));
    // An installed program never writes below its own prefix.
    if (p.mode == PathMode::Installed) {
      for (const fs::path& w : {p.settingsFile, p.logFile, p.userDataDir})
        EXPECT_NE(w.string().rfind(p.dataDir.parent_path().parent_path().string() + "/share", 0), 0u) << w;
    }
  }
}

}  // namespace
}  // namespace tarvix
