#include "library/AtomicFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tarvix {

std::string FileError(const std::filesystem::path& path, int err) {
  return path.string() + ": " + std::strerror(err);
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target) : target_(std::move(target)) {
  std::filesystem::path dir = target_.parent_path();
  if (dir.empty()) dir = ".";
  std::string pattern = (dir / ("." + target_.filename().string() + ".tmp-XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error(FileError(target_, errno));
  temp_ = pattern;
  // Keep the permissions an existing target had; new files get the usual
  // 0666 & umask instead of mkstemp's 0600.
  struct stat st {};
  if (::stat(target_.c_str(), &st) == 0) {
    ::fchmod(fd, st.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
  }
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    const int err = errno;
    ::close(fd);
    std::filesystem::remove(temp_);
    throw std::runtime_error(FileError(target_, err));
  }
}

AtomicFileWriter::~AtomicFileWriter() {
  if (file_) std::fclose(file_);
  if (!committed_ && !temp_.empty()) {
    std::error_code ec;
    std::filesystem::remove(temp_, ec);
  }
}

void AtomicFileWriter::Fail(const char* what) {
  const int err = errno;
  throw std::runtime_error(FileError(target_, err ? err : EIO) + " (" + what + ")");
}

void AtomicFileWriter::Write(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail("write failed");
}

void AtomicFileWriter::Write(std::string_view text) {
  Write(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

void AtomicFileWriter::Commit() {
  errno = 0;
  if (std::fflush(file_) != 0) Fail("write failed");
  if (::fsync(::fileno(file_)) != 0) Fail("sync failed");
  std::FILE* f = file_;
  file_ = nullptr;
  if (std::fclose(f) != 0) Fail("close failed");
  if (::rename(temp_.c_str(), target_.c_str()) != 0) Fail("rename failed");
  committed_ = true;
}

void WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  AtomicFileWriter w(target);
  w.Write(bytes);
  w.Commit();
}

void WriteFileAtomically(const std::filesystem::path& target, std::string_view text) {
  AtomicFileWriter w(target);
  w.Write(text);
  w.Commit();
}

}  // namespace tarvix
