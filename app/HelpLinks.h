#pragma once
// The help pages the program hands to the desktop. They ship with the program
// (a short manual in "help/" below the folder of shipped files) so help works
// offline and always matches the version that is running.

#include <array>
#include <filesystem>
#include <string>

namespace tarvix {

struct HelpLink {
  const char* caption;  // menu entry
  const char* page;     // file below the help folder
};

// The manual's topics, one entry each in the Help menu's submenu.
inline constexpr std::array<HelpLink, 5> kHelpTopics = {{
    {"Connecting the instrument (ALSA, JACK)", "connecting.html"},
    {"The built-in instrument", "instrument.html"},
    {"Reading and sending banks", "banks.html"},
    {"The sound editor", "editor.html"},
    {"Files and folders", "files.html"},
}};

// The manual's contents page.
inline constexpr HelpLink kManual{"Tarvix manual", "index.html"};

// Where the driver note of the log memo and the short help leads: how to
// connect the instrument.
inline constexpr HelpLink kDriverNote{"Connecting the instrument", "connecting.html"};

// The folder of the shipped help pages of this process.
std::filesystem::path HelpFolder();

// The page's file below `folder`.
inline std::filesystem::path HelpPagePath(const HelpLink& link, const std::filesystem::path& folder = HelpFolder()) {
  return folder / link.page;
}

// The page as the address shown to the user ("file:///...").
std::string HelpUrl(const HelpLink& link);

// Opens the page in the user's browser; false when the desktop refused.
bool OpenHelpLink(const HelpLink& link);

}  // namespace tarvix
