// Whether the Library window keeps up with typing over a large library:
// fills a library file with N sounds (100,000 by default), types a search
// into the window at a brisk typist's pace, and reports the longest time the
// interface thread was blocked and how long after the last key the list
// showed the answer.
//   QT_QPA_PLATFORM=offscreen ./build/library_typing [sounds] [library file]
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>

#include "app/LibraryListModel.h"
#include "app/TfrmLibrary.h"
#include "library/InitSound.h"

namespace {

using Clock = std::chrono::steady_clock;

void Fill(tarvix::SoundLibrary& lib, int count) {
  static const char* const kWords[] = {"Warm", "Pad", "Bass", "Lead", "Glass", "Bell", "Dusty", "Strings",
                                       "Cold", "Pluck", "Sweep", "Brass", "Soft", "Hard", "Drone", "Keys"};
  std::mt19937 random(7);
  const tarvix::SoundData init = tarvix::MakeDefaultInitSound();
  int made = 0;
  for (int file = 0; made < count; ++file) {
    std::vector<tarvix::ImportRecord> records;
    for (int i = 0; i < 1000 && made < count; ++i, ++made) {
      tarvix::SoundData s = init;
      for (std::size_t at = 8; at < 360; at += 7) s[at] = static_cast<std::uint8_t>(random() % 128);
      s[100] = static_cast<std::uint8_t>(made & 0x7F);
      s[101] = static_cast<std::uint8_t>((made >> 7) & 0x7F);
      s[102] = static_cast<std::uint8_t>((made >> 14) & 0x7F);
      const std::string name = std::string(kWords[random() % 16]) + " " + kWords[random() % 16] + " " +
                               std::to_string(random() % 1000);
      tarvix::SetSoundName(s, name);
      tarvix::SetCategory(s, static_cast<std::uint8_t>(random() % 13));
      records.push_back({s, i});
    }
    lib.Import("/bench/bank" + std::to_string(file) + ".syx", records);
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const std::filesystem::path file =
      argc > 2 ? std::filesystem::path(argv[2]) : std::filesystem::temp_directory_path() / "tarvix-typing-bench.db";
  {
    tarvix::SoundLibrary lib(file);
    if (lib.SoundCount() < count) {
      const auto t0 = Clock::now();
      Fill(lib, count - static_cast<int>(lib.SoundCount()));
      std::printf("filled in %.1f s\n", std::chrono::duration<double>(Clock::now() - t0).count());
    }
    std::printf("%lld sounds in %s\n", static_cast<long long>(lib.SoundCount()), file.c_str());
  }

  tarvix::TfrmLibrary window(file, {});
  window.show();
  QElapsedTimer opened;
  opened.start();
  while (window.Searching()) QTest::qWait(1);
  std::printf("whole list (%d rows) shown %lld ms after opening\n", window.Model()->rowCount(),
              static_cast<long long>(opened.elapsed()));

  // A 2 ms tick measures how long the interface thread is kept from its loop.
  qint64 longestStall = 0;
  QElapsedTimer sinceTick;
  sinceTick.start();
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
  tick.start(2);

  auto* box = window.findChild<QLineEdit*>("edtSearch");
  auto type = [&](const QString& keys, int key) {
    longestStall = 0;
    qint64 longestKey = 0;
    QElapsedTimer lastKey;
    for (int i = 0; i < (keys.isEmpty() ? 8 : keys.size()); ++i) {
      QElapsedTimer k;
      k.start();
      if (keys.isEmpty())
        QTest::keyClick(box, Qt::Key(key));
      else
        QTest::keyClicks(box, keys.mid(i, 1));
      longestKey = std::max(longestKey, k.elapsed());
      lastKey.start();
      QTest::qWait(80);  // about 12 keys a second
    }
    while (window.Searching()) QTest::qWait(1);
    std::printf("%-22s keys took at most %lld ms; event loop stalled at most %lld ms; %d rows\n",
                keys.isEmpty() ? "(8 x backspace)" : qPrintable("\"" + keys + "\""), static_cast<long long>(longestKey),
                static_cast<long long>(longestStall), window.Model()->rowCount());
  };
  type("dusty str", 0);
  type("", Qt::Key_Backspace);
  type("", Qt::Key_Backspace);
  return 0;
}
