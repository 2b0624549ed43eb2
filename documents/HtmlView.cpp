#include "documents/HtmlView.h"

#include "documents/LinkOpener.h"
#include "documents/LocalFile.h"

#include <QFile>

HtmlView::HtmlView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &HtmlView::activateLink);
}

void HtmlView::setAddress(const QString& file) {
    const QUrl address = QUrl::fromLocalFile(file);
    // setSource skips an address equal to the one shown; reload does not.
    if (source() == address)
        reload();
    else
        setSource(address, QTextDocument::HtmlResource);
}

void HtmlView::setLinkOpener(LinkOpener* opener) {
    m_linkOpener = opener;
}

QVariant HtmlView::loadResource(int type, const QUrl& name) {
    const QString file = existingFile(localPathOf(name));
    if (file.isEmpty())
        return {};
    QFile resource(file);
    if (!resource.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = resource.readAll();
    // Pages are written as UTF-8 and read so, whatever charset they declare.
    if (type == QTextDocument::HtmlResource)
        return QString::fromUtf8(bytes);
    return bytes;
}

void HtmlView::activateLink(const QUrl& link) {
    const bool onThisPage = link.hasFragment() && link.adjusted(QUrl::RemoveFragment) ==
                                                      source().adjusted(QUrl::RemoveFragment);
    if (onThisPage)
        scrollToAnchor(link.fragment());
    else if (m_linkOpener)
        m_linkOpener->openLink(link);
}
