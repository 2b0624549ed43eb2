#pragma once

#include <QTextBrowser>

class LinkOpener;

// The HTML view: shows local pages only. Setting its address always loads the
// page again, also when the address is unchanged. Pictures and other
// resources come from local files alone, relative addresses resolved against
// the page's directory (a backslash counts as a separator); nothing is
// fetched from the network and no script runs. Clicked links never navigate
// the view: they go to the link opener.
class HtmlView : public QTextBrowser {
    Q_OBJECT

public:
    explicit HtmlView(QWidget* parent = nullptr);

    // Loads the page in file, also when it is the page already shown.
    void setAddress(const QString& file);
    // Where clicked links go; without one they do nothing.
    void setLinkOpener(LinkOpener* opener);

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void activateLink(const QUrl& link);

    LinkOpener* m_linkOpener = nullptr;
};
