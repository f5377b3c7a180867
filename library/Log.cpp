#include "library/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tarvix {

void FileLog::LogMessage(const std::string& text) {
  // Listeners first: the memo shows the line even when the disk is full.
  for (auto& l : listeners_) l(text);
  errno = 0;
  int err = 0;
  if (std::FILE* f = std::fopen(file_.c_str(), "ab")) {
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fputc('\n', f) != EOF;
    if (!ok) err = errno ? errno : EIO;
    if (std::fclose(f) != 0 && !err) err = errno ? errno : EIO;
  } else {
    err = errno ? errno : EIO;
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
