// The picture of the Library window in the README: a small library of the
// built-in instrument's demo sounds, some seen twice, a few favourites and
// tags, and a search typed into the box. With a second file name, also the
// duplicate finder over two demo sets that share some sounds.
//   ./build/library_window_shot OUT.png [DUPLICATES.png]
#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>

#include "app/LibraryListModel.h"
#include "app/TfrmDuplicates.h"
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
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "tarvix-shot.db";
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
  if (!window.grab().save(QString::fromStdString(argv[1]))) return 1;
  if (argc < 3) return 0;

  tarvix::BankSet blofeld(tarvix::BankSetKind::Blofeld), virtualBanks(tarvix::BankSetKind::Virtual);
  for (int i = 0; i < tarvix::kSlotCount; ++i) {
    // The demo sounds repeat every 512 slots: bytes 201 and 202 make each
    // one of its own.
    blofeld.Sound(i) = tarvix::VirtualInstrument::DemoSound(i);
    virtualBanks.Sound(i) = tarvix::VirtualInstrument::DemoSound(i);
    blofeld.Sound(i)[201] = virtualBanks.Sound(i)[201] = static_cast<std::uint8_t>(i & 0x7F);
    blofeld.Sound(i)[202] = static_cast<std::uint8_t>(i >> 7);
    virtualBanks.Sound(i)[202] = static_cast<std::uint8_t>(8 + (i >> 7));
  }
  // A few sounds kept twice, one of them renamed.
  virtualBanks.Sound(3) = blofeld.Sound(17);
  tarvix::SetSoundName(virtualBanks.Sound(3), "My Bells");
  blofeld.Sound(300) = blofeld.Sound(17);
  virtualBanks.Sound(40) = blofeld.Sound(130);
  blofeld.Sound(131) = blofeld.Sound(130);
  virtualBanks.Sound(700) = blofeld.Sound(900);
  tarvix::TfrmDuplicates duplicates;
  duplicates.Fill(blofeld, virtualBanks);
  duplicates.show();
  duplicates.Tree()->setCurrentItem(duplicates.Tree()->topLevelItem(0)->child(1));
  QTest::qWait(200);
  return duplicates.grab().save(QString::fromStdString(argv[2])) ? 0 : 1;
}
