// tarvix: the sound librarian and editor.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/TfrmMain.h"
#include "library/AppPaths.h"
#include "soundlib/SoundLibrary.h"

namespace {

// Qt aborts with a cryptic message when no display can be reached; say what
// to do instead.
bool DisplayAvailable() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform && *platform) return true;
  const char* x = std::getenv("DISPLAY");
  const char* w = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (w && *w);
}

}  // namespace

int main(int argc, char** argv) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr,
                 "tarvix: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set). "
                 "Run it under Xvfb (xvfb-run ./tarvix) or with QT_QPA_PLATFORM=offscreen.\n");
    return 2;
  }
  bool quitAfterStart = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--quit-after-start") == 0) quitAfterStart = true;

  QApplication app(argc, argv);
  QApplication::setApplicationName("Tarvix");
  // Lets the desktop match the windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName("org.tarvix.Tarvix");
  // Shipped files come from where the program lies; what it writes goes to
  // the working folder (portable), beside the program (build tree) or the
  // user's folders (installed), never into an installed tree.
  const tarvix::AppPaths& paths = tarvix::ProcessPaths();
  for (const auto& dir : tarvix::PrepareWritableFolders(paths))
    std::fprintf(stderr, "tarvix: cannot create the folder %s\n", dir.c_str());
  tarvix::MainWindowOptions options;
  options.programDirectory = paths.dataDir;
  options.settingsFile = paths.settingsFile;
  options.logFile = paths.logFile;
  options.userDataDirectory = paths.userDataDir;
  options.libraryFile = paths.userDataDir / tarvix::kLibraryFileName;
  options.quitAfterStart = quitAfterStart;
  tarvix::TfrmMain window(options);
  window.show();
  return app.exec();
}
