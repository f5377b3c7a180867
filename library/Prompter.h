#pragma once
// The port through which the core asks the user its fixed questions and for
// file names. The windows answer with message boxes and file dialogs; tests
// answer from a script and check which questions were asked.

#include <optional>
#include <string>

namespace tarvix {

enum class Answer { Yes, No, Cancel };
// SaveDiscardCancel: Save answers Yes, Discard answers No.
enum class Buttons { YesNo, YesNoCancel, Ok, SaveDiscardCancel };

struct FileRequest {
  std::string filter;            // e.g. "SysEx Files|*.syx"
  std::string defaultExtension;  // e.g. "syx"; empty for none
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A confirmation box with a fixed text. For Buttons::Ok the answer is Yes.
  virtual Answer Ask(const std::string& text, Buttons buttons) = 0;
  virtual std::optional<std::string> OpenFileName(const FileRequest& request) = 0;
  virtual std::optional<std::string> SaveFileName(const FileRequest& request) = 0;
};

inline const FileRequest kSysExFiles{"SysEx Files|*.syx", "syx"};

// Fixed question texts, shared by the core and the windows.
namespace questions {
inline constexpr const char* kReplace = "Do you want to replace it?";
inline constexpr const char* kSelectAll = "Select all?";
inline constexpr const char* kSortAll = "Sort all?";
inline constexpr const char* kSaveChanges = "Save changes ?";
}  // namespace questions

}  // namespace tarvix
