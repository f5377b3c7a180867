#pragma once
// The program's name and version as the About box shows them. Keep the
// version in step with the project version of the top-level CMakeLists.txt.

#include <string>

namespace tarvix {

inline constexpr const char* kProgramName = "Tarvix";
inline constexpr const char* kVersion = "0.1.0";

// Caption and text of the About box: the program's name and version.
inline std::string AboutText() {
  return std::string(kProgramName) + "\nVersion " + kVersion + "\nSound librarian and editor for the Waldorf Blofeld";
}

}  // namespace tarvix
