// tarvix: the sound librarian and editor.
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/TfrmMain.h"

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
  tarvix::MainWindowOptions options;
  options.quitAfterStart = quitAfterStart;
  tarvix::TfrmMain window(options);
  window.show();
  return app.exec();
}
