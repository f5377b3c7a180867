#pragma once
// Every web address the program hands to the desktop: the help videos, the
// program's web page and the driver note. They all live under one base
// address so a move of the documentation is a one-line change.

#include <array>
#include <string>

namespace tarvix {

// Base of the program's own documentation pages.
inline constexpr const char* kDocumentationBase = "https://tarvix.example.org/docs/";

struct HelpLink {
  const char* caption;  // menu entry
  const char* page;     // page below kDocumentationBase
};

inline std::string HelpUrl(const HelpLink& link) { return std::string(kDocumentationBase) + link.page; }

// The four help-video entries of the Help menu's submenu.
inline constexpr std::array<HelpLink, 4> kHelpVideos = {{
    {"Video: Getting started", "videos/getting-started.html"},
    {"Video: Bank lists and files", "videos/bank-lists.html"},
    {"Video: Sound editor", "videos/sound-editor.html"},
    {"Video: Morph and locker", "videos/morph-and-locker.html"},
}};

inline constexpr HelpLink kWebPage{"Tarvix web page", "index.html"};

// Where to get the instrument's USB driver description, shown in the driver
// note of the log memo and the short help.
inline constexpr HelpLink kDriverNote{"Driver", "driver.html"};

// Opens the link in the user's browser; false when the desktop refused.
bool OpenHelpLink(const HelpLink& link);

}  // namespace tarvix
