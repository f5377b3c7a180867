#pragma once
// Every file the program writes goes through this: the bytes go to a
// temporary file in the target's folder, which replaces the target by a
// rename only once everything is written and flushed. A crash, a full disk
// or an error half-way leaves the old file as it was.

#include <cstdint>
#include <cstdio>
#include <filesystem>
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

 private:
  [[noreturn]] void Fail(const char* what);
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
void WriteFileAtomically(const std::filesystem::path& target, std::string_view text);

// "<path>: <reason>" with the reason from errno, for error messages.
std::string FileError(const std::filesystem::path& path, int err);

}  // namespace tarvix
