#pragma once
// Every file the program writes goes through this: the bytes go to a
// temporary file in the target's folder, which replaces the target by a
// rename only once everything is written and flushed. A crash, a full disk
// or an error half-way leaves the old file as it was. The writer holds a lock
// on its temporary file; temporary files left by a killed save (unlocked)
// are removed by the next save to the same target.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <string_view>

namespace tarvix {

class AtomicFileWriter {
 public:
  // Creates the temporary file; throws std::runtime_error naming the target
  // when the folder is not writable.
  explicit AtomicFileWriter(std::filesystem::path target);
  ~AtomicFileWriter();  // removes the temporary file unless committed
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void Write(std::span<const std::uint8_t> bytes);
  void Write(std::string_view text);
  // Flush, sync and rename over the target. Throws on any failure.
  void Commit();

  const std::filesystem::path& Target() const { return target_; }
  const std::filesystem::path& TempPath() const { return temp_; }

 private:
  [[noreturn]] void Fail(const char* what);
  std::filesystem::path target_;
  std::filesystem::path resolved_;  // the file the rename replaces
  std::filesystem::path temp_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
void WriteFileAtomically(const std::filesystem::path& target, std::string_view text);

// "<path>: <reason>" with the reason from errno, for error messages.
std::string FileError(const std::filesystem::path& path, int err);

// Makes sure `file` names something that can be read as a file: it exists,
// is readable and is a regular file (after following links). A folder, a
// FIFO, a device or a socket is refused with a one-line reason. The check
// never blocks, not even on a FIFO that nobody writes to. Throws
// std::runtime_error.
void CheckReadableFile(const std::filesystem::path& file);
// CheckReadableFile, then the opened stream (binary).
std::ifstream OpenFileForReading(const std::filesystem::path& file);

// Where a save to `target` really writes: a symbolic link is followed to the
// file it names (which need not exist yet), so that saving through a link
// updates the linked file and keeps the link.
std::filesystem::path ResolveSaveTarget(const std::filesystem::path& target);

}  // namespace tarvix
