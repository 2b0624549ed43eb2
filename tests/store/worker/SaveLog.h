#pragma once

#include <QString>

// What the store worker writes into every save, derived from the worker's tag
// and the save's sequence number, so that a reader of its log knows what each
// reported save must have left in the knowledge base.
struct SavedContent {
    QString title;
    QString summary;
    QString body;
};

inline SavedContent savedContent(const QString& tag, qint64 sequence) {
    const QString mark = QStringLiteral("【%1-%2】").arg(tag).arg(sequence);
    // Bodies from a few bytes to tens of kilobytes, so that saves span pages.
    const int repeats = int((sequence * 7919) % 2500);
    return {mark, QStringLiteral("摘要 %1").arg(mark),
            QStringLiteral("<p>%1 正文 '引号' &amp;</p>").arg(mark).repeated(repeats)};
}
