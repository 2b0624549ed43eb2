#pragma once

#include "documents/Prompts.h"

#include <QStringList>
#include <QTest>
#include <deque>
#include <optional>

// Answers the Yes/No questions from a script; a question that was not
// scripted, or any other prompt, fails the test. Questions are kept as
// "title|text|icon", the icon "?" for a question and "i" for information.
class YesNoPrompts : public Prompts {
public:
    std::deque<bool> answers;
    QStringList asked;

    bool askYesNo(const QString& text, const QString& title, Icon icon) override {
        asked << title + u'|' + text + u'|' +
                     (icon == Icon::Question ? QStringLiteral("?") : QStringLiteral("i"));
        if (answers.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unscripted question: ") + text), __FILE__,
                         __LINE__);
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString askText(const QString& prompt, const QString&, const QString&) override {
        unscripted(prompt);
        return QString();
    }
    QString chooseFile(const QString& title, const QString&, const QString&) override {
        unscripted(title);
        return QString();
    }
    std::optional<QColor> chooseColour(const QColor&) override {
        unscripted(QStringLiteral("colour"));
        return std::nullopt;
    }

private:
    static void unscripted(const QString& what) {
        QTest::qFail(qPrintable(QStringLiteral("unscripted prompt: ") + what), __FILE__, __LINE__);
    }
};
