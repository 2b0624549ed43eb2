#pragma once

#include <QUrl>

class StatusView;
class UrlOpener;

// Follows a link clicked in an HTML view. A web or mail address goes to the
// default browser; a local file (an attachment) opens in the desktop's
// default application, and a missing one is reported in the status line.
// Scripts and every other scheme do nothing.
class LinkOpener {
public:
    LinkOpener(UrlOpener& opener, StatusView& status);

    // link is resolved against the page it was clicked in.
    void openLink(const QUrl& link);

private:
    UrlOpener& m_opener;
    StatusView& m_status;
};
