#include "library/Log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tarvix {

void FileLog::LogMessage(const std::string& text) {
  // Listeners first: the memo shows the line even when the disk is full.
  for (auto& l : listeners_) l(text);
  // Non-blocking, so that a FIFO in the log file's place cannot stop the
  // program; one write per line, so lines of two processes never interleave.
  int err = 0;
  const int fd = ::open(file_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    err = errno;
  } else {
    const std::string line = text + '\n';
    const ssize_t n = ::write(fd, line.data(), line.size());
    if (n != static_cast<ssize_t>(line.size())) err = n < 0 ? errno : ENOSPC;
    if (::close(fd) != 0 && !err) err = errno;
  }
  if (!err) {
    failing_ = false;
    return;
  }
  // Losing a log line must never cost the work that logged it (a bank read
  // stores its sounds after logging them), so report once and carry on.
  if (failing_) return;
  failing_ = true;
  const std::string note = "Cannot write the log file " + file_.string() + ": " + std::strerror(err) +
                           "; log lines are shown in the window only";
  std::fprintf(stderr, "tarvix: %s\n", note.c_str());
  for (auto& l : listeners_) l(note);
}

bool Guarded(Log& log, const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (const std::exception& e) {
    try {
      log.LogMessage(e.what());
    } catch (...) {
      // The log itself failed; there is nowhere left to report to.
    }
  } catch (...) {
    try {
      log.LogMessage("Unknown error");
    } catch (...) {
    }
  }
  return false;
}

}  // namespace tarvix
