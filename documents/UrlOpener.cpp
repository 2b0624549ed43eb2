#include "documents/UrlOpener.h"

#include <QDesktopServices>

void DesktopUrlOpener::openUrl(const QUrl& address) {
    QDesktopServices::openUrl(address);
}
