#include "documents/LinkOpener.h"

#include "documents/LocalFile.h"
#include "documents/UrlOpener.h"
#include "store/StatusView.h"

using namespace Qt::StringLiterals;

namespace {

bool isWebAddress(const QUrl& link) {
    const QString scheme = link.scheme();
    return scheme == "http"_L1 || scheme == "https"_L1 || scheme == "mailto"_L1;
}

} // namespace

LinkOpener::LinkOpener(UrlOpener& opener, StatusView& status)
    : m_opener(opener), m_status(status) {}

void LinkOpener::openLink(const QUrl& link) {
    if (isWebAddress(link)) {
        m_opener.openUrl(link);
        return;
    }
    const QString path = localPathOf(link);
    if (path.isEmpty())
        return;
    const QString file = existingFile(path);
    if (file.isEmpty())
        m_status.showStatus(u"找不到文件【"_s + withSlashSeparators(path) + u"】"_s);
    else
        m_opener.openUrl(QUrl::fromLocalFile(file));
}
