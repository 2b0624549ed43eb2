#pragma once

#include "documents/Prompts.h"

#include <QList>
#include <QString>
#include <QStringList>
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
    qsizetype unusedAnswers() const { return m_answers.size(); }

    bool askYesNo(const QString& text, const QString& title, Icon icon) override;
    QString askText(const QString& prompt, const QString& title,
                    const QString& initialText) override;
    QString chooseFile(const QString& title, const QString& filter,
                       const QString& startDirectory) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;

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

    template <class Kind> std::optional<Kind> take(const Question& question);

    QList<Answer> m_answers;
    QList<Question> m_questions;
};
