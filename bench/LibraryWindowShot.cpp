// The picture of the Library window in the README: a small library of the
// built-in instrument's demo sounds, some seen twice, a few favourites and
// tags, and a search typed into the box.
//   ./build/library_window_shot OUT.png [library file]
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <filesystem>

#include "app/LibraryListModel.h"
#include "app/TfrmLibrary.h"
#include "midi/VirtualInstrument.h"

// A query for a piece of a name only.
tarvix::LibraryQuery ByName(const char* text) {
  tarvix::LibraryQuery q;
  q.text = text;
  return q;
}

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const std::filesystem::path file =
      argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path() / "tarvix-shot.db";
  std::filesystem::remove(file);
  {
    tarvix::SoundLibrary lib(file);
    std::vector<tarvix::ImportRecord> factory, instrument;
    for (int i = 0; i < 384; ++i) factory.push_back({tarvix::VirtualInstrument::DemoSound(i), i});
    for (int i = 256; i < 512; ++i) instrument.push_back({tarvix::VirtualInstrument::DemoSound(i), i});
    lib.Import("/home/musician/Sounds/Factory.syx", factory);
    lib.Import(tarvix::kInstrumentSource, instrument);
    for (const auto& e : lib.Find(ByName("glass"))) lib.SetFavourite(e.id, true);
    for (const auto& e : lib.Find(ByName("warm"))) lib.AddTag(e.id, "live set");
  }
  tarvix::TfrmLibrary window(file, {});
  window.resize(660, 560);
  window.show();
  QTest::keyClicks(window.findChild<QLineEdit*>("edtSearch"), "ar");
  while (window.Searching()) QTest::qWait(5);
  QTableView* list = window.List();
  list->setFocus();
  for (int row = 0; row < window.Model()->rowCount(); ++row)
    if (window.Model()->Entry(row).sightingCount > 1 && window.Model()->Entry(row).name.starts_with("Warm")) {
      list->selectRow(row);
      break;
    }
  QTest::qWait(200);
  return window.grab().save(QString::fromStdString(argv[1])) ? 0 : 1;
}
