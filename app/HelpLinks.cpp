#include "app/HelpLinks.h"

#include <QDesktopServices>
#include <QUrl>

#include "library/AppPaths.h"

namespace tarvix {

std::filesystem::path HelpFolder() { return ProcessPaths().dataDir / "help"; }

static QUrl PageUrl(const HelpLink& link) {
  return QUrl::fromLocalFile(QString::fromStdString(HelpPagePath(link).string()));
}

std::string HelpUrl(const HelpLink& link) { return PageUrl(link).toString().toStdString(); }

bool OpenHelpLink(const HelpLink& link) { return QDesktopServices::openUrl(PageUrl(link)); }

}  // namespace tarvix
