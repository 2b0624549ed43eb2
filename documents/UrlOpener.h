#pragma once

#include <QUrl>

// Hands an address to the desktop: a web address to the default browser, a
// local file to the application registered for it. The program uses
// DesktopUrlOpener; tests record the calls instead.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void openUrl(const QUrl& address) = 0;
};

class DesktopUrlOpener : public UrlOpener {
public:
    // Does not wait for the other program and reports nothing.
    void openUrl(const QUrl& address) override;
};
