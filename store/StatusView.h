#pragma once

#include <QString>

// Where every result, progress note and failure is reported: the message
// part of the status bar. Long work also shows a busy cursor.
class StatusView {
public:
    virtual ~StatusView() = default;
    // Puts the text into the message part of the status bar and paints it at
    // once, so that progress shows while the work goes on.
    virtual void showStatus(const QString& text) = 0;
    // Starts (true) or ends (false) a stretch of long work; calls nest.
    virtual void setBusy(bool busy) = 0;
};

// Shows the busy cursor for as long as it lives.
class BusyScope {
public:
    explicit BusyScope(StatusView& view) : m_view(view) { m_view.setBusy(true); }
    ~BusyScope() { m_view.setBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    StatusView& m_view;
};
