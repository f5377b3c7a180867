// The Library window as the musician uses it, and the main window feeding the library.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <chrono>
#include <thread>

#include "app/LibraryListModel.h"
#include "app/LibrarySearch.h"
#include "app/TfrmLibrary.h"
#include "editor/TfrmPatchEdit.h"
#include "library/SoundFile.h"
#include "tests/app/AppTest.h"
#include "tools/TfrmSelectLocation.h"

namespace tarvix {
namespace {

using namespace test;

// A query by name alone (designated initialisers would leave the other fields to a warning).
LibraryQuery ByText(const char* text) {
  LibraryQuery q;
  q.text = text;
  return q;
}

// Four sounds; byte 12 is the first oscillator's keytrack.
std::vector<ImportRecord> Records() {
  const std::tuple<const char*, int, int> kSounds[] = {
      {"Warm Pad", 4, 64}, {"Glass Bell", 8, 100}, {"WARM Bass", 1, 100}, {"Cold Lead", 5, 64}};
  std::vector<ImportRecord> records;
  for (const auto& [name, category, keytrack] : kSounds) {
    SoundData d = MakeSound(name, static_cast<std::uint8_t>(category));
    d[12] = static_cast<std::uint8_t>(keytrack);
    d[200] = static_cast<std::uint8_t>(records.size() + 1);
    records.push_back({d, static_cast<int>(records.size())});
  }
  return records;
}

struct LibraryFixture : AppFixture {
  TfrmLibrary* library = nullptr;

  TfrmMain& Start() {
    SoundLibrary(dir / "library.db").Import((dir / "bank.syx").string(), Records());
    return Open(nullptr, dir / "library.db");
  }

  TfrmLibrary& OpenLibrary() {
    window->Action("actLibrary")->trigger();
    library = window->LibraryWindow();
    EXPECT_NE(library, nullptr);
    QApplication::setActiveWindow(library);
    Settle();
    return *library;
  }

  void Settle() const { ASSERT_TRUE(QTest::qWaitFor([&] { return !library->Searching(); }, 5000)); }

  QStringList Names() const {
    Settle();
    QStringList names;
    for (const LibraryEntry& e : library->Model()->Entries()) names << QString::fromStdString(e.name);
    names.sort();
    return names;
  }

  template <class T>
  T* Find(const char* name) const {
    T* w = library->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  void ClickSound(const std::string& name, Qt::KeyboardModifiers mods = {},
                  int column = LibraryListModel::kName) const {
    QTableView* tv = library->List();
    const auto& entries = library->Model()->Entries();
    const auto row =
        std::find_if(entries.begin(), entries.end(), [&](const LibraryEntry& e) { return e.name == name; });
    ASSERT_NE(row, entries.end()) << name;
    const QModelIndex i = tv->model()->index(static_cast<int>(row - entries.begin()), column);
    tv->scrollTo(i);
    QTest::mouseClick(tv->viewport(), Qt::LeftButton, mods, tv->visualRect(i).center());
  }
};

TEST(LibraryWindow, FiltersAsYouTypeByNameCategoryParameterFavouriteAndTag) {
  LibraryFixture f;
  f.Start();
  TfrmLibrary& lib = f.OpenLibrary();
  EXPECT_EQ(f.Find<QLabel>("lblStatus")->text(), "4 sounds");

  // The list follows each key; case does not matter.
  auto* search = f.Find<QLineEdit>("edtSearch");
  QTest::keyClicks(search, "wa");
  EXPECT_EQ(f.Names(), (QStringList{"WARM Bass", "Warm Pad"}));
  search->clear();

  // Category "Bass" is the second entry after "All categories".
  auto* category = f.Find<QComboBox>("cmbCategory");
  category->setFocus();
  QTest::keyClick(category, Qt::Key_Down);
  QTest::keyClick(category, Qt::Key_Down);
  EXPECT_EQ(f.Names(), QStringList{"WARM Bass"});
  QTest::keyClick(category, Qt::Key_Home);
  f.Settle();

  // A parameter: a condition still being typed leaves the list and says why.
  auto* where = f.Find<QLineEdit>("edtWhere");
  QTest::keyClicks(where, "KnobKeytrack1=");
  EXPECT_EQ(f.Names().size(), 4);
  // A value typed and taken back while its search runs: the answer must not hide why the list stands still.
  QTest::keyClick(where, Qt::Key_1);
  QTest::keyClick(where, Qt::Key_Backspace);
  f.Settle();
  EXPECT_EQ(f.Find<QLabel>("lblStatus")->text(), "Type a value after \"KnobKeytrack1=\"");
  QTest::keyClicks(where, "100");
  EXPECT_EQ(f.Names(), (QStringList{"Glass Bell", "WARM Bass"}));

  // The star: a click marks a favourite in the library; the filter keeps it.
  f.ClickSound("Glass Bell", {}, LibraryListModel::kStar);
  where->clear();
  QTest::mouseClick(f.Find<QCheckBox>("chkFavourites"), Qt::LeftButton);
  EXPECT_EQ(f.Names(), QStringList{"Glass Bell"});
  QTest::mouseClick(f.Find<QCheckBox>("chkFavourites"), Qt::LeftButton);
  f.Settle();

  // Tags: typed for the current sound, kept in the library, offered as a filter.
  f.ClickSound("Cold Lead");
  auto* tags = f.Find<QLineEdit>("edtTags");
  QTest::mouseClick(tags, Qt::LeftButton);
  QTest::keyClicks(tags, "dark, lead ,dark");
  QTest::keyClick(tags, Qt::Key_Return);
  EXPECT_EQ(lib.Library().Get(lib.Library().Find(ByText("cold")).at(0).id)->tags,
            (std::vector<std::string>{"dark", "lead"}));
  auto* tag = f.Find<QComboBox>("cmbTag");
  tag->setFocus();
  QTest::keyClick(tag, Qt::Key_Down);
  EXPECT_EQ(f.Names(), QStringList{"Cold Lead"});
}

TEST(LibraryWindow, ExportsCopiesToAVirtualSlotAuditionsAndDropsOnABankRowAfterAsking) {
  LibraryFixture f;
  TfrmMain& w = f.Start();
  TfrmLibrary& lib = f.OpenLibrary();
  f.ClickSound("Glass Bell");
  f.ClickSound("Cold Lead", Qt::ControlModifier);
  const std::filesystem::path out = f.dir / "chosen.syx";
  f.prompter.saveName = out.string();
  QTest::mouseClick(f.Find<QPushButton>("btnExport"), Qt::LeftButton);
  const auto written = ReadSoundRecords(out);
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(TrimmedSoundName(written[1]), "Cold Lead");
  // An existing file is replaced only after asking.
  f.ClickSound("Warm Pad");
  f.prompter.answers = {Answer::No};
  QTest::mouseClick(f.Find<QPushButton>("btnExport"), Qt::LeftButton);
  EXPECT_EQ(f.prompter.asked, std::vector<std::string>{questions::kReplace});
  EXPECT_EQ(ReadSoundRecords(out).size(), 2u);
  f.prompter.answers = {Answer::Yes};
  QTest::mouseClick(f.Find<QPushButton>("btnExport"), Qt::LeftButton);
  EXPECT_EQ(ReadSoundRecords(out).size(), 1u);

  WriteSounds(f.dir / "more.syx", {MakeSound("Fresh Sound", 2, 0, 0, 77)});
  f.prompter.openName = (f.dir / "more.syx").string();
  QTest::mouseClick(f.Find<QPushButton>("btnImport"), Qt::LeftButton);
  EXPECT_EQ(f.Names(), (QStringList{"Cold Lead", "Fresh Sound", "Glass Bell", "WARM Bass", "Warm Pad"}));

  // Enter (or a double-click: the same activation) sends the sound to the instrument's edit buffer.
  f.ClickSound("Cold Lead");
  QTest::keyClick(lib.List(), Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return TrimmedSoundName(w.Instrument().EditBuffer()) == "Cold Lead"; }, 5000));

  // Copying to a Virtual slot: the slot dialog picks bank C, program 5.
  f.ClickSound("Cold Lead");
  f.ClickSound("Warm Pad", Qt::ControlModifier);
  auto pick = OnModal<TfrmSelectLocation>([](TfrmSelectLocation* d) {
    d->cmbBank->setFocus();
    QTest::keyClick(d->cmbBank, Qt::Key_Home);
    for (int i = 0; i < 2; ++i) QTest::keyClick(d->cmbBank, Qt::Key_Down);
    QTest::keyClick(d->cmbProgram, Qt::Key_Home);
    for (int i = 0; i < 4; ++i) QTest::keyClick(d->cmbProgram, Qt::Key_Down);
    QTest::mouseClick(d->Button1, Qt::LeftButton);
  });
  f.prompter.answers = {Answer::Yes, Answer::No};
  const SoundData keep = w.Virtual().Sound(2 * 128 + 5);
  QTest::mouseClick(f.Find<QPushButton>("btnCopyToSlot"), Qt::LeftButton);
  // In list order (first seen): Warm Pad, then Cold Lead, which was refused.
  EXPECT_EQ(TrimmedSoundName(w.Virtual().Sound(2 * 128 + 4)), "Warm Pad");
  EXPECT_TRUE(w.Virtual().Sound(2 * 128 + 5) == keep);

  // A sound dragged from the list onto a bank row, after asking.
  f.prompter.asked.clear();
  SetSoundName(w.Blofeld(), 10, "Old Sound");
  const SoundData before = w.Blofeld().Sound(10);
  f.ClickSound("Glass Bell");
  // What the list's drag carries for its selection.
  QTableView* tv = f.library->List();
  std::unique_ptr<QMimeData> mime(tv->model()->mimeData(tv->selectionModel()->selectedIndexes()));
  BankListView* lv = w.BlofeldList();
  const QPoint at = RowPoint(lv, 10);
  auto drop = [&] {
    QDragEnterEvent enter(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QApplication::sendEvent(lv->viewport(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at, Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QApplication::sendEvent(lv->viewport(), &move);
    QDropEvent dropped(QPointF(at), Qt::CopyAction, mime.get(), Qt::LeftButton, {});
    QApplication::sendEvent(lv->viewport(), &dropped);
  };

  f.prompter.answers = {Answer::No};
  drop();
  ASSERT_EQ(f.prompter.asked.size(), 1u);
  EXPECT_NE(f.prompter.asked[0].find("\"Old Sound\" with2 \"Glass Bell\""), std::string::npos) << f.prompter.asked[0];
  EXPECT_TRUE(w.Blofeld().Sound(10) == before);

  f.prompter.answers = {Answer::Yes};
  drop();
  EXPECT_EQ(TrimmedSoundName(w.Blofeld().Sound(10)), "Glass Bell");
  EXPECT_EQ(w.Blofeld().Sound(10)[12], 100);
  EXPECT_TRUE(w.Blofeld().Changed(10));
  EXPECT_EQ(w.BlofeldList()->CurrentRow(), 10);

  // Bytes that are no sound dump are not taken.
  mime.reset(new QMimeData);
  mime->setData(BankListModel::kSoundMimeType, QByteArray(392, '\x01'));
  drop();
  EXPECT_EQ(f.prompter.asked.size(), 2u);
  EXPECT_EQ(TrimmedSoundName(w.Blofeld().Sound(10)), "Glass Bell");
}

TEST(LibraryWindow, SearchesAskedFasterThanAnsweredDeliverOnlyTheNewest) {
  TempDir dir;
  SoundLibrary(dir / "library.db").Import((dir / "bank.syx").string(), Records());
  LibrarySearch search(dir / "library.db");
  std::vector<std::vector<std::string>> answers;
  QObject::connect(&search, &LibrarySearch::Found, [&] {
    std::vector<std::string> names;
    for (const LibraryEntry& e : search.TakeResults()) names.push_back(e.name);
    answers.push_back(names);
  });
  // Each search has answered before the next key comes, unseen yet.
  for (const char* text : {"c", "co", "col", "cold", "cold ", "cold l"}) {
    search.Request(ByText(text));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return !search.Pending(); }, 5000));
  QTest::qWait(50);  // an older answer would have arrived by now
  EXPECT_EQ(answers, (std::vector<std::vector<std::string>>{{"Cold Lead"}}));
}

std::map<std::string, int> SightingsBySource(const std::filesystem::path& file) {
  SoundLibrary lib(file);
  std::map<std::string, int> out;
  for (const auto& e : lib.Find({})) {
    const auto sound = lib.Get(e.id);
    for (const auto& s : sound->sightings) ++out[s.source];
  }
  return out;
}

// A library that cannot take the sounds changes nothing about the read.
TEST(MainWindowLibrary, ReadsAndLoadedFilesAreAddedUnlessSwitchedOffAndABrokenLibraryStopsNoRead) {
  enum Kind { kOn, kOff, kDamaged };
  for (const Kind kind : {kOn, kOff, kDamaged}) {
    SCOPED_TRACE(kind);
    AppFixture f;
    const std::filesystem::path libFile = f.dir / "data" / "library.db";
    const std::vector<std::uint8_t> garbage(3000, 0x42);
    if (kind == kDamaged) {
      std::filesystem::create_directory(f.dir / "data");
      WriteAll(libFile, garbage);
    }
    TfrmMain& w = f.Open(nullptr, libFile);
    if (kind == kOff) {  // switched off in the settings dialog
      OnNextDialog([](QDialog* d) {
        auto* box = d->findChild<QCheckBox*>("chbLibraryAutoImport");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
        QTest::mouseClick(d->findChild<QPushButton*>("btnOk"), Qt::LeftButton);
      });
      w.Action("actTarvixSettings")->trigger();
    }
    w.Action("actReadBankC")->trigger();  // returns when the read is over
    for (int i = 256; i < 384; ++i) ASSERT_EQ(w.Blofeld().Sound(i), w.Instrument().Sound(i)) << i;

    WriteSounds(f.dir / "two.syx", {MakeSound("L1", 1), MakeSound("L2", 2, 0, 0, 9)});
    f.prompter.openName = (f.dir / "two.syx").string();
    OnNextDialog([](QDialog* d) { d->accept(); });
    w.Action("actLoadVirtual")->trigger();
    ASSERT_EQ(TrimmedSoundName(w.Virtual().Sound(0)), "L1");

    w.WaitForLibrary();
    QCoreApplication::processEvents();  // the library's log lines
    const QString memo = w.LogMemo()->toPlainText();
    if (kind == kOn) {
      const auto seen = SightingsBySource(libFile);
      EXPECT_EQ(seen.at(kInstrumentSource), 128);
      EXPECT_EQ(seen.at(std::filesystem::canonical(f.dir / "two.syx").string()), 2);
      // A sound fetched for the editor is a sighting of the edit buffer.
      auto closer = OnModal<TfrmPatchEdit>([](TfrmPatchEdit* e) { e->reject(); });
      w.Action("actEditEditBuffer")->trigger();
      EXPECT_TRUE(QTest::qWaitFor([&] {
        w.WaitForLibrary();
        return SightingsBySource(libFile).at(kInstrumentSource) == 129;
      }, 5000));
    } else if (kind == kOff) {
      EXPECT_FALSE(std::filesystem::exists(libFile));
    } else {
      EXPECT_EQ(memo.count("Sound library not used"), 1) << memo.toStdString();
      EXPECT_TRUE(memo.contains("two.syx not added")) << memo.toStdString();
      // The Library window is refused with the file named, and the file left alone.
      w.Action("actLibrary")->trigger();
      EXPECT_EQ(w.LibraryWindow(), nullptr);
      ASSERT_EQ(f.prompter.asked.size(), 1u);
      EXPECT_NE(f.prompter.asked[0].find(libFile.string()), std::string::npos) << f.prompter.asked[0];
      EXPECT_EQ(ReadAll(libFile), garbage);
    }
  }
}

}  // namespace
}  // namespace tarvix
