#pragma once

#include "store/KnowledgeBase.h"
#include "store/StatusView.h"

#include <QList>
#include <QStringList>

// A status view that keeps every message and how the busy cursor was used.
class RecordingStatus : public StatusView {
public:
    void showStatus(const QString& text) override {
        messages << text;
        busyDepthAtMessage << busyDepth;
    }
    void setBusy(bool busy) override {
        busyDepth += busy ? 1 : -1;
        if (busy)
            ++busyStretches;
    }
    QString last() const { return messages.isEmpty() ? QString() : messages.last(); }

    QStringList messages;
    QList<int> busyDepthAtMessage; // how deep in busy stretches each message came
    int busyDepth = 0;             // 0 when every busy stretch has ended
    int busyStretches = 0;         // how often the busy cursor was turned on
};

// A knowledge base view that keeps what it was told to show.
class RecordingKnowledgeBaseView : public KnowledgeBaseView {
public:
    void showStatus(const QString& text) override { messages << text; }
    void setBusy(bool) override {}
    void showKnowledgeBaseName(const QString& fileName) override { names << fileName; }
    void indexCatalogue() override { ++indexCount; }

    bool untouched() const { return messages.isEmpty() && names.isEmpty() && indexCount == 0; }

    QStringList messages;
    QStringList names;
    int indexCount = 0;
};
