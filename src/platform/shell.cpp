#include "platform/shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace zt {

void QtShell::openUrl(const std::string& url) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::TolerantMode));
}

}  // namespace zt
