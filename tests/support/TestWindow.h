#pragma once
// The main window as window tests want it: files in a private folder, only the
// built-in instrument, no MIDI settings dialog, and active so key events reach it.
#include <QApplication>
#include <memory>

#include "app/TfrmMain.h"
#include "tests/support/TempDir.h"

namespace tarvix::test {

// prompter null: the program's own message boxes ask. driver: ports besides
// the built-in instrument. libraryFile: the sound library to feed (none if empty).
inline std::unique_ptr<TfrmMain> OpenTestWindow(const TempDir& dir, Prompter* prompter, MidiDriver* driver = nullptr,
                                                const std::filesystem::path& libraryFile = {}) {
  MainWindowOptions o;
  o.programDirectory = dir.Path();
  o.logFile = dir / "blofeld.log";
  o.prompter = prompter;
  o.systemMidi = false;
  o.midiDriver = driver;
  o.libraryFile = libraryFile;
  o.midiSettingsAtStart = false;
  auto window = std::make_unique<TfrmMain>(o);
  window->show();
  QApplication::setActiveWindow(window.get());
  return window;
}

}  // namespace tarvix::test
