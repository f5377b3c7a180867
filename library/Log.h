#pragma once
// The program's log: one line per message, no time stamp, no level. Lines go
// to "blofeld.log" in the working directory and to whatever the window adds
// (the log memo). Core code reports through this port and never prints.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tarvix {

class Log {
 public:
  virtual ~Log() = default;
  virtual void LogMessage(const std::string& text) = 0;
};

// Appends each line to a file, opening and closing it per line so nothing is
// lost on a crash. Listeners (the memo) see every line. A line that cannot be
// written (read-only folder, full disk) never ends the calling operation: the
// failure is reported once, to the listeners and standard error, and the log
// goes on; a later failure after the file was writable again is reported anew.
class FileLog : public Log {
 public:
  explicit FileLog(std::filesystem::path file = "blofeld.log") : file_(std::move(file)) {}
  void LogMessage(const std::string& text) override;
  void AddListener(std::function<void(const std::string&)> listener) { listeners_.push_back(std::move(listener)); }
  const std::filesystem::path& File() const { return file_; }

 private:
  std::filesystem::path file_;
  std::vector<std::function<void(const std::string&)>> listeners_;
  bool failing_ = false;  // the last write failed and was reported
};

// Keeps lines in memory; for tests and the command-line tool.
class MemoryLog : public Log {
 public:
  void LogMessage(const std::string& text) override { lines.push_back(text); }
  std::vector<std::string> lines;
};

// Runs fn; an exception ends it and its message is logged. Returns false when
// fn threw. Every user command runs inside this guard.
bool Guarded(Log& log, const std::function<void()>& fn);

}  // namespace tarvix
