// The main window hands loaded files and read sounds to the sound library,
// and a library that cannot take them changes nothing about the read.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "app/TfrmMain.h"
#include "editor/TfrmPatchEdit.h"
#include "midi/VirtualInstrument.h"
#include "soundlib/SoundLibrary.h"
#include "tests/support/Sounds.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestWindow.h"

namespace tarvix {
namespace {

using test::TempDir;

std::unique_ptr<TfrmMain> OpenWindow(const TempDir& dir, Prompter& prompter, const std::string& settings) {
  test::WriteSounds(dir / kInitSoundFileName, {MakeDefaultInitSound()});
  std::ofstream(dir / kSettingsFileName) << settings;
  return test::OpenTestWindow(dir, &prompter, nullptr, dir / "data" / "library.db");
}

// Sightings per source, over the whole library.
std::map<std::string, int> SightingsBySource(const std::filesystem::path& file) {
  SoundLibrary lib(file);
  std::map<std::string, int> out;
  for (const auto& e : lib.Find({})) {
    const auto sound = lib.Get(e.id);
    for (const auto& s : sound->sightings) ++out[s.source];
  }
  return out;
}

TEST(MainWindowLibrary, ReadsAndLoadedFilesAreAddedUnlessSwitchedOffAndABrokenLibraryStopsNoRead) {
  struct Case {
    std::string name;
    std::string settings;
    bool garbageLibrary;
  };
  const std::vector<Case> cases = {
      {"on by default", "[Midi]\nMIDIDelay=0\n", false},
      {"switched off", "[Globals]\nLibraryAutoImport=0\n[Midi]\nMIDIDelay=0\n", false},
      {"damaged library", "[Midi]\nMIDIDelay=0\n", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    test::ScriptedPrompter prompter;
    const std::filesystem::path libFile = dir / "data" / "library.db";
    const std::vector<std::uint8_t> garbage(3000, 0x42);
    if (c.garbageLibrary) {
      std::filesystem::create_directory(dir / "data");
      test::WriteAll(libFile, garbage);
    }
    auto w = OpenWindow(dir, prompter, c.settings);
    w->Action("actReadBankC")->trigger();  // returns when the read is over
    for (int i = 256; i < 384; ++i) ASSERT_EQ(w->Blofeld().Sound(i), w->Instrument().Sound(i)) << i;

    test::WriteSounds(dir / "two.syx", {test::MakeSound("L1", 1), test::MakeSound("L2", 2, 0, 0, 9)});
    prompter.openName = (dir / "two.syx").string();
    QTimer::singleShot(0, [] {
      for (int i = 0; i < 50 && !QApplication::activeModalWidget(); ++i) QTest::qWait(10);
      if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->accept();
    });
    w->Action("actLoadVirtual")->trigger();
    ASSERT_EQ(TrimmedSoundName(w->Virtual().Sound(0)), "L1");

    w->WaitForLibrary();
    QCoreApplication::processEvents();  // the library's log lines
    const QString memo = w->LogMemo()->toPlainText();
    if (c.name == "on by default") {
      const auto seen = SightingsBySource(libFile);
      EXPECT_EQ(seen.at(kInstrumentSource), 128);
      EXPECT_EQ(seen.at(std::filesystem::canonical(dir / "two.syx").string()), 2);
      EXPECT_TRUE(memo.contains("the sounds read from the instrument: 128 sounds read")) << memo.toStdString();
      // Reading the same bank again adds no sightings.
      w->Action("actReadBankC")->trigger();
      w->WaitForLibrary();
      EXPECT_EQ(SightingsBySource(libFile).at(kInstrumentSource), 128);
      // A sound fetched for the editor is a sighting of the edit buffer. The
      // editor opens from the window's timer; a timer of ours closes it.
      QTimer closer;
      QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* e = qobject_cast<TfrmPatchEdit*>(QApplication::activeModalWidget())) e->reject();
      });
      closer.start(20);
      w->Action("actEditEditBuffer")->trigger();
      int fetched = 128;
      for (int i = 0; i < 500 && fetched == 128; ++i) {
        QTest::qWait(10);
        w->WaitForLibrary();
        fetched = SightingsBySource(libFile).at(kInstrumentSource);
      }
      closer.stop();
      EXPECT_EQ(fetched, 129);
    } else if (c.name == "switched off") {
      EXPECT_FALSE(std::filesystem::exists(libFile));
    } else {
      EXPECT_EQ(test::ReadAll(libFile), garbage);
      EXPECT_EQ(memo.count("Sound library not used"), 1) << memo.toStdString();
      EXPECT_TRUE(memo.contains("two.syx not added")) << memo.toStdString();
    }
  }
}

TEST(MainWindowLibrary, TheSettingsDialogSwitchesTheImportOffAndOn) {
  TempDir dir;
  test::ScriptedPrompter prompter;
  auto w = OpenWindow(dir, prompter, "");
  ASSERT_TRUE(IsOn(w->CurrentSettings().LibraryAutoImport));
  for (bool expected : {false, true}) {
    QTimer::singleShot(0, [] {
      for (int i = 0; i < 50 && !QApplication::activeModalWidget(); ++i) QTest::qWait(10);
      QWidget* d = QApplication::activeModalWidget();
      ASSERT_NE(d, nullptr);
      auto* box = d->findChild<QCheckBox*>("chbLibraryAutoImport");
      ASSERT_NE(box, nullptr);
      if (const char* out = std::getenv("TARVIX_SCREENSHOT_DIR"); out && box->isChecked())
        d->grab().save(QString(out) + "/settings-library.png");
      QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
      QTest::mouseClick(d->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
    });
    w->Action("actTarvixSettings")->trigger();
    EXPECT_EQ(IsOn(w->CurrentSettings().LibraryAutoImport), expected);
  }
}

}  // namespace
}  // namespace tarvix
