#include "controls/desktop_link.h"

#include <QDesktopServices>
#include <QUrl>

bool OpenLinkWithDesktop(const std::string& url) {
    if (url.empty()) return false;
    return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(url)));
}
