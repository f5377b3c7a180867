#include "library/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
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

namespace {

// The reason a name that is not a regular file cannot serve as a sound file.
std::string NotRegularReason(mode_t mode) {
  if (S_ISDIR(mode)) return std::strerror(EISDIR);
  if (S_ISFIFO(mode)) return "Is a FIFO (named pipe), not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "Is a device, not a regular file";
  if (S_ISSOCK(mode)) return "Is a socket, not a regular file";
  return "Is not a regular file";
}

// Temporary files of earlier saves to `name` in `dir` whose writer is gone:
// a live writer holds a lock on its file, a killed one no longer does.
void RemoveStaleTemporaries(const std::filesystem::path& dir, const std::string& name) {
  const std::string prefix = "." + name + ".tmp-";
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (entry.size() != prefix.size() + 6 || entry.compare(0, prefix.size(), prefix) != 0) continue;
    const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(it->path().c_str());
    ::close(fd);
  }
}

}  // namespace

void CheckReadableFile(const std::filesystem::path& file) {
  // stat first: opening a device or a FIFO can block or have side effects.
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) throw std::runtime_error(FileError(file, errno));
  if (!S_ISREG(st.st_mode)) throw std::runtime_error(file.string() + ": " + NotRegularReason(st.st_mode));
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) throw std::runtime_error(FileError(file, errno));
  // The name may have been replaced between the two looks.
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ::close(fd);
  if (!regular) throw std::runtime_error(file.string() + ": " + NotRegularReason(st.st_mode));
}

std::ifstream OpenFileForReading(const std::filesystem::path& file) {
  CheckReadableFile(file);
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error(FileError(file, errno ? errno : EIO));
  return in;
}

std::filesystem::path ResolveSaveTarget(const std::filesystem::path& target) {
  std::filesystem::path p = target;
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(p, ec)) return p;
    const std::filesystem::path next = std::filesystem::read_symlink(p, ec);
    if (ec) throw std::runtime_error(FileError(target, ec.value()));
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  throw std::runtime_error(FileError(target, ELOOP));
}

AtomicFileWriter::AtomicFileWriter(std::filesystem::path target)
    : target_(std::move(target)), resolved_(ResolveSaveTarget(target_)) {
  struct stat st {};
  const bool exists = ::stat(resolved_.c_str(), &st) == 0;
  // Replacing a folder, a FIFO or a device by a sound file is never meant.
  if (exists && !S_ISREG(st.st_mode)) throw std::runtime_error(target_.string() + ": " + NotRegularReason(st.st_mode));
  std::filesystem::path dir = resolved_.parent_path();
  if (dir.empty()) dir = ".";
  RemoveStaleTemporaries(dir, resolved_.filename().string());
  std::string pattern = (dir / ("." + resolved_.filename().string() + ".tmp-XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) throw std::runtime_error(FileError(target_, errno));
  temp_ = pattern;
  ::flock(fd, LOCK_EX);  // tells later saves that this temporary file is in use
  // Keep the permissions an existing target had; new files get the usual
  // 0666 & umask instead of mkstemp's 0600.
  if (exists) {
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
  // Rename while the file is still open and locked, so that no other save
  // takes it for a leftover in between.
  if (::rename(temp_.c_str(), resolved_.c_str()) != 0) Fail("rename failed");
  committed_ = true;
  std::FILE* f = file_;
  file_ = nullptr;
  if (std::fclose(f) != 0) Fail("close failed");
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
