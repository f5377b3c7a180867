#pragma once
// The build and source folders. CTest names them in the environment; a test
// program started by hand looks for CMakeCache.txt above its own location.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace tarvix::test {

inline std::filesystem::path BuildDir() {
  if (const char* d = std::getenv("TARVIX_BINARY_DIR")) return d;
  std::error_code ec;
  auto dir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
  for (; !dir.empty(); dir = dir.parent_path()) {
    if (std::filesystem::exists(dir / "CMakeCache.txt", ec)) return dir;
    if (dir == dir.root_path()) break;
  }
  return std::filesystem::current_path();
}

inline std::filesystem::path SourceDir() {
  if (const char* d = std::getenv("TARVIX_SOURCE_DIR")) return d;
  std::ifstream cache(BuildDir() / "CMakeCache.txt");
  const std::string key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
  for (std::string line; std::getline(cache, line);)
    if (line.rfind(key, 0) == 0) return line.substr(key.size());
  return std::filesystem::current_path();
}

}  // namespace tarvix::test
