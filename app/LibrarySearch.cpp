#include "app/LibrarySearch.h"

#include <QMetaObject>

namespace tarvix {

LibrarySearch::LibrarySearch(std::filesystem::path file, QObject* parent)
    : QObject(parent), file_(std::move(file)), thread_([this] { Run(); }) {}

LibrarySearch::~LibrarySearch() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void LibrarySearch::Request(LibraryQuery query) {
  {
    std::lock_guard lock(mutex_);
    next_ = std::move(query);
    ++requested_;
  }
  wake_.notify_one();
}

bool LibrarySearch::Pending() const {
  std::lock_guard lock(mutex_);
  return delivered_ != requested_;
}

void LibrarySearch::Run() {
  std::unique_ptr<SoundLibrary> library;
  QString openError;
  for (;;) {
    LibraryQuery query;
    std::uint64_t generation = 0;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stop_ || next_; });
      if (stop_) return;
      query = std::move(*next_);
      next_.reset();
      generation = requested_;
    }
    auto entries = std::make_shared<std::vector<LibraryEntry>>();
    QString error;
    try {
      if (!library) library = std::make_unique<SoundLibrary>(file_);
      *entries = library->Find(query);
    } catch (const std::exception& e) {
      error = QString::fromStdString(e.what());
    }
    // Queued to the interface thread; dropped there if this object is gone.
    QMetaObject::invokeMethod(
        this, [this, generation, entries, error] { Deliver(generation, entries, error); }, Qt::QueuedConnection);
  }
}

void LibrarySearch::Deliver(std::uint64_t generation, std::shared_ptr<std::vector<LibraryEntry>> entries,
                            QString error) {
  {
    std::lock_guard lock(mutex_);
    if (generation != requested_) return;  // a newer request is on its way
    delivered_ = generation;
  }
  if (!error.isEmpty())
    emit Failed(error);
  else {
    results_ = std::move(*entries);
    emit Found();
  }
}

}  // namespace tarvix
