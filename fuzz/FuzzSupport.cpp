#include <cstdlib>
#include <string>

#include "fuzz/FuzzTarget.h"

namespace tarvix::fuzz {

const std::filesystem::path& WorkDir() {
  static const std::filesystem::path dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvix-fuzz-XXXXXX").string();
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
