#include "soundlib/LibraryFeeder.h"

namespace tarvix {

LibraryFeeder::LibraryFeeder(std::filesystem::path file, std::function<void(const std::string&)> report)
    : file_(std::move(file)), report_(std::move(report)), worker_([this] { Run(); }) {}

LibraryFeeder::~LibraryFeeder() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void LibraryFeeder::AddFile(const std::filesystem::path& file) { Push(file); }

void LibraryFeeder::AddSounds(std::string source, std::vector<ImportRecord> records) {
  if (!records.empty()) Push(Sounds{std::move(source), std::move(records)});
}

void LibraryFeeder::Push(Job job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void LibraryFeeder::Wait() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void LibraryFeeder::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, and nothing left to do
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    busy_ = true;
    lock.unlock();
    Do(job);
    lock.lock();
    busy_ = false;
    if (jobs_.empty()) idle_.notify_all();
  }
}

void LibraryFeeder::Do(Job& job) {
  const std::string what = std::holds_alternative<Sounds>(job) ? "the sounds read from the instrument"
                                                                : std::get<std::filesystem::path>(job).string();
  auto say = [this](const std::string& line) {
    if (report_) report_(line);
  };
  try {
    if (!library_ && !failed_) {
      try {
        library_ = std::make_unique<SoundLibrary>(file_);
      } catch (const std::exception& e) {
        failed_ = true;
        say(std::string("Sound library not used: ") + e.what());
      }
    }
    if (!library_) {
      say("Sound library: " + what + " not added (the library could not be opened).");
      return;
    }
    const ImportReport r = std::holds_alternative<Sounds>(job)
                               ? library_->Import(std::get<Sounds>(job).source, std::get<Sounds>(job).records)
                               : library_->ImportFile(std::get<std::filesystem::path>(job));
    for (const auto& p : r.problems) say("Sound library: " + p);
    say("Sound library: " + what + ": " + r.Summary());
  } catch (const std::exception& e) {
    say("Sound library: " + what + " not added: " + e.what());
  }
}

}  // namespace tarvix
