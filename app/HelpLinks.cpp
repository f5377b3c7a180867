#include "app/HelpLinks.h"

#include <QDesktopServices>
#include <QUrl>

namespace tarvix {

bool OpenHelpLink(const HelpLink& link) { return QDesktopServices::openUrl(QUrl(QString::fromStdString(HelpUrl(link)))); }

}  // namespace tarvix
