#include <unistd.h>

#include <cstdlib>
#include <string>

#include "fuzz/FuzzTarget.h"

namespace tarvix::fuzz {

const std::filesystem::path& WorkDir() {
  static const std::filesystem::path dir = [] {
    // Saves sync their files; on a memory file system that costs nothing,
    // which multiplies the inputs a target gets through.
    std::error_code ec;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0
            ? std::filesystem::path("/dev/shm")
            : std::filesystem::temp_directory_path();
    std::string pattern = (base / "tarvix-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) FuzzFail("cannot make a work folder");
    std::filesystem::path made = pattern;
    // Removed at exit, so that runs of millions of inputs leave nothing behind.
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(WorkDir(), ec);
    });
    return made;
  }();
  return dir;
}

}  // namespace tarvix::fuzz
