#include "app/WindowPlacement.h"

#include "app/Settings.h"

#include <QWidget>

void restorePlacement(QWidget& window, const Settings& settings) {
    if (settings.readFlag(maximisedKey)) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    const int left = settings.readInteger(leftKey, QStringLiteral("200"));
    const int top = settings.readInteger(topKey, QStringLiteral("200"));
    const int width = settings.readInteger(widthKey, QStringLiteral("850"));
    const int height = settings.readInteger(heightKey, QStringLiteral("500"));
    window.setGeometry(left, top, width, height);
}

void savePlacement(const QWidget& window, const Settings& settings) {
    const bool maximised = window.isMaximized() && !window.isMinimized();
    settings.writeFlag(maximisedKey, maximised);
    if (maximised)
        return;
    // A minimised window may report where it sits as an icon; the bounds it
    // comes back to are the ones to keep.
    const QRect bounds = window.normalGeometry();
    settings.writeInteger(leftKey, bounds.x());
    settings.writeInteger(topKey, bounds.y());
    settings.writeInteger(widthKey, bounds.width());
    settings.writeInteger(heightKey, bounds.height());
}

void setStaysOnTop(QWidget& window, bool onTop) {
    // Changing a window's flags hides it; a shown window is shown again.
    const bool shown = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (shown)
        window.show();
}
