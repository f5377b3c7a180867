#include "library/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace tarvix {

void FileLog::LogMessage(const std::string& text) {
  // Listeners first: the memo shows the line even when the disk is full.
  for (auto& l : listeners_) l(text);
  std::FILE* f = std::fopen(file_.c_str(), "ab");
  if (!f) throw std::runtime_error("Cannot write log file " + file_.string() + ": " + std::strerror(errno));
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size() && std::fputc('\n', f) != EOF;
  const bool closed = std::fclose(f) == 0;
  if (!ok || !closed) throw std::runtime_error("Cannot write log file " + file_.string());
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
