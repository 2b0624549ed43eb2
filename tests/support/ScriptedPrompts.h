#pragma once

#include "documents/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>
#include <variant>

// Prompts answered from a script: each question takes the next queued
// answer, which must be of its kind. A question that was not scripted fails
// the running test.
class ScriptedPrompts : public Prompts {
public:
    // What a question showed: its text (or prompt), title and initial text,
    // or for a file dialog its title, filter and start directory.
    struct Question {
        QString kind;
        QStringList shown;
    };

    void answerYesNo(bool yes) { m_answers.append(YesNo{yes}); }
    void answerText(const QString& text) { m_answers.append(Text{text}); }
    void answerFile(const QString& path) { m_answers.append(File{path}); }
    void answerColour(std::optional<QColor> colour) { m_answers.append(Colour{colour}); }

    const QList<Question>& questions() const { return m_questions; }
    // Each question as what it showed, joined by "|".
    QStringList asked() const {
        QStringList result;
        for (const Question& question : m_questions)
            result << question.shown.join(u'|');
        return result;
    }
    qsizetype unusedAnswers() const { return m_answers.size(); }

    bool askYesNo(const QString& text, const QString& title, Icon icon) override {
        const QString iconName =
            icon == Icon::Question ? QStringLiteral("question") : QStringLiteral("information");
        const auto answer = take<YesNo>({QStringLiteral("yes/no"), {text, title, iconName}});
        return answer && answer->yes;
    }
    QString askText(const QString& prompt, const QString& title,
                    const QString& initialText) override {
        const auto answer = take<Text>({QStringLiteral("text"), {prompt, title, initialText}});
        return answer ? answer->text : QString();
    }
    QString chooseFile(const QString& title, const QString& filter,
                       const QString& startDirectory) override {
        const auto answer = take<File>({QStringLiteral("file"), {title, filter, startDirectory}});
        return answer ? answer->path : QString();
    }
    std::optional<QColor> chooseColour(const QColor& initial) override {
        const auto answer = take<Colour>({QStringLiteral("colour"), {initial.name()}});
        return answer ? answer->colour : std::nullopt;
    }

private:
    struct YesNo {
        bool yes;
    };
    struct Text {
        QString text;
    };
    struct File {
        QString path;
    };
    struct Colour {
        std::optional<QColor> colour;
    };
    using Answer = std::variant<YesNo, Text, File, Colour>;

    template <class Kind> std::optional<Kind> take(const Question& question) {
        m_questions.append(question);
        if (m_answers.isEmpty() || !std::holds_alternative<Kind>(m_answers.front())) {
            const QByteArray message = "unscripted prompt " + question.kind.toUtf8() + ": " +
                                       question.shown.join(QStringLiteral(" | ")).toUtf8();
            QTest::qFail(message.constData(), __FILE__, __LINE__);
            return std::nullopt;
        }
        return std::get<Kind>(m_answers.takeFirst());
    }

    QList<Answer> m_answers;
    QList<Question> m_questions;
};
