// The main window's part in the sound library: every file loaded into a set
// and every sound a read stored is handed to the library's worker thread
// after it is in the set. Nothing here can stop a load or a read.
#include <QMetaObject>
#include <algorithm>

#include "app/TfrmMain.h"
#include "soundlib/LibraryFeeder.h"

namespace tarvix {

LibraryFeeder* TfrmMain::Feeder() {
  if (options_.libraryFile.empty() || !IsOn(settings_.LibraryAutoImport)) return nullptr;
  if (!libraryFeeder_) {
    // Reports come on the worker thread; the log and its memo live on this one.
    libraryFeeder_ = std::make_unique<LibraryFeeder>(options_.libraryFile, [this](const std::string& line) {
      QMetaObject::invokeMethod(this, [this, line] { LogMessage(line); }, Qt::QueuedConnection);
    });
  }
  return libraryFeeder_.get();
}

void TfrmMain::WaitForLibrary() {
  if (libraryFeeder_) libraryFeeder_->Wait();
}

void TfrmMain::AddFileToLibrary(const std::filesystem::path& file) {
  if (LibraryFeeder* feeder = Feeder()) feeder->AddFile(file);
}

void TfrmMain::StartCollectingReadSounds() {
  collectingReadSounds_ = true;
  slotsRead_.clear();
}

void TfrmMain::AddReadSoundsToLibrary() {
  collectingReadSounds_ = false;
  std::vector<int> stored;
  stored.swap(slotsRead_);
  LibraryFeeder* feeder = Feeder();
  if (!feeder || stored.empty()) return;
  std::sort(stored.begin(), stored.end());
  stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
  std::vector<ImportRecord> records;
  records.reserve(stored.size());
  for (int slot : stored)
    if (!IsEmptySlot(blofeld_.Sound(slot))) records.push_back({blofeld_.Sound(slot), slot});
  feeder->AddSounds(kInstrumentSource, std::move(records));
}

void TfrmMain::AddFetchedSoundToLibrary(const SoundData& sound) {
  LibraryFeeder* feeder = Feeder();
  if (!feeder || IsEmptySlot(sound)) return;
  feeder->AddSounds(kInstrumentSource, {ImportRecord{sound, kEditBufferIndex}});
}

}  // namespace tarvix
