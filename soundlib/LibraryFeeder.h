#pragma once
// Adds loaded files and read sounds to the library on a thread of its own,
// so that the library is never on the path of a load or a bank read: the
// sounds are in the bank set before the library sees them, a slow or broken
// library file delays nothing, and its failures are reported, never thrown
// into the caller.
//
// The library file is opened on the worker at the first job. When it cannot
// be opened (damaged, from a newer version) that is reported once and later
// jobs are dropped with a short note. The destructor finishes the jobs
// already handed in.

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "soundlib/SoundLibrary.h"

namespace tarvix {

class LibraryFeeder {
 public:
  // `report` receives one line per finished job or failure, on the worker
  // thread; a window hands it on to its own thread.
  LibraryFeeder(std::filesystem::path file, std::function<void(const std::string&)> report);
  ~LibraryFeeder();
  LibraryFeeder(const LibraryFeeder&) = delete;
  LibraryFeeder& operator=(const LibraryFeeder&) = delete;

  void AddFile(const std::filesystem::path& file);
  void AddSounds(std::string source, std::vector<ImportRecord> records);
  // Waits until every job handed in so far is done (for tests and shutdown).
  void Wait();

 private:
  struct Sounds {
    std::string source;
    std::vector<ImportRecord> records;
  };
  using Job = std::variant<std::filesystem::path, Sounds>;

  void Run();
  void Do(Job& job);
  void Push(Job job);

  const std::filesystem::path file_;
  const std::function<void(const std::string&)> report_;
  std::unique_ptr<SoundLibrary> library_;
  bool failed_ = false;  // the library could not be opened; said once

  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stop_ = false;
  std::thread worker_;
};

}  // namespace tarvix
