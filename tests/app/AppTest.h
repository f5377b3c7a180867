#pragma once
// A main window on a private program folder that answers from a script, and clicks on its rows.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/TfrmMain.h"
#include "midi/VirtualInstrument.h"
#include "tests/support/Sounds.h"
#include "tests/support/TestWindow.h"

namespace tarvix::test {

inline const std::string kNoDelay = "[Midi]\nMIDIDelay=0\n";

struct AppFixture {
  TempDir dir;
  ScriptedPrompter prompter;
  bool messageBoxes = false;  // the program's own message boxes ask instead of the script
  std::unique_ptr<TfrmMain> window;

  explicit AppFixture(const std::string& settings = kNoDelay) {
    WriteSounds(dir / kInitSoundFileName, {MakeDefaultInitSound()});
    if (!settings.empty()) std::ofstream(dir / kSettingsFileName) << settings;
  }
  TfrmMain& Open(MidiDriver* driver = nullptr, const std::filesystem::path& library = {}) {
    window = OpenTestWindow(dir, messageBoxes ? nullptr : &prompter, driver, library);
    return *window;
  }
  // Every row named after its place: b0..b1023 and v0..v1023.
  TfrmMain& OpenNamed() {
    Open();
    for (int i = 0; i < kSlotCount; ++i) {
      SetSoundName(window->Blofeld(), i, "b" + std::to_string(i));
      SetSoundName(window->Virtual(), i, "v" + std::to_string(i));
    }
    return *window;
  }
};

inline std::string Name(const BankSet& set, int i) { return TrimmedSoundName(set.Sound(i)); }
inline std::vector<std::string> Names(const BankSet& set, std::initializer_list<int> rows) {
  std::vector<std::string> out;
  for (int i : rows) out.push_back(Name(set, i));
  return out;
}

inline QPoint RowPoint(BankListView* lv, int row) {
  lv->scrollTo(lv->model()->index(row, 1));
  return lv->visualRect(lv->model()->index(row, 1)).center();
}
inline void ClickRow(BankListView* lv, int row, Qt::KeyboardModifiers mods = {}, Qt::MouseButton b = Qt::LeftButton) {
  QTest::mouseClick(lv->viewport(), b, mods, RowPoint(lv, row));
}
inline std::vector<int> SelectedRows(BankListView* lv) {
  std::vector<int> rows;
  for (int i = 0; i < kSlotCount; ++i)
    if (lv->selectionModel()->isRowSelected(i, {})) rows.push_back(i);
  return rows;
}

// Runs `act` on the next modal dialog once it is shown.
template <typename Fn>
void OnNextDialog(Fn act) {
  QTimer::singleShot(0, [act] {
    for (int i = 0; i < 300 && !QApplication::activeModalWidget(); ++i) QTest::qWait(10);
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(d, nullptr);
    act(d);
  });
}

// Runs `act` once on the first modal W; a polling timer lets dialogs before it run their loops.
template <typename W, typename Fn>
std::unique_ptr<QTimer> OnModal(Fn act) {
  auto poll = std::make_unique<QTimer>();
  auto done = std::make_shared<bool>(false);
  QObject::connect(poll.get(), &QTimer::timeout, [act, done] {
    auto* w = qobject_cast<W*>(QApplication::activeModalWidget());
    if (!w || *done) return;
    *done = true;
    act(w);
  });
  poll->start(10);
  return poll;
}

}  // namespace tarvix::test
