#pragma once
// Runs the Library window's searches on a thread of its own, so typing never
// waits for the database. The thread keeps its own connection to the library
// file (the file is in WAL mode: the window's own connection may write
// favourites and tags meanwhile). Requests that pile up while one runs are
// folded into the newest: only the answer to what the box says now is
// delivered.

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "soundlib/SoundLibrary.h"

namespace tarvix {

class LibrarySearch : public QObject {
  Q_OBJECT
 public:
  explicit LibrarySearch(std::filesystem::path file, QObject* parent = nullptr);
  ~LibrarySearch() override;

  // Asks for a search; Found follows on the interface thread, unless a newer
  // request came first.
  void Request(LibraryQuery query);
  // Whether a requested answer has not yet been delivered.
  bool Pending() const;
  // The answer Found announced (moved out: a hundred thousand rows are not
  // copied on the interface thread).
  std::vector<LibraryEntry> TakeResults() { return std::move(results_); }

 signals:
  void Found();
  void Failed(const QString& message);

 private:
  void Run();
  void Deliver(std::uint64_t generation, std::shared_ptr<std::vector<LibraryEntry>> entries, QString error);

  std::filesystem::path file_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<LibraryQuery> next_;
  std::uint64_t requested_ = 0;  // generation of the newest request
  std::uint64_t delivered_ = 0;
  std::vector<LibraryEntry> results_;  // interface thread only
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace tarvix
