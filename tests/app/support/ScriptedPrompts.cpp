#include "ScriptedPrompts.h"

#include <QTest>

template <class Kind> std::optional<Kind> ScriptedPrompts::take(const Question& question) {
    m_questions.append(question);
    if (m_answers.isEmpty() || !std::holds_alternative<Kind>(m_answers.front())) {
        const QByteArray message = "unscripted prompt " + question.kind.toUtf8() + ": " +
                                   question.shown.join(QStringLiteral(" | ")).toUtf8();
        QTest::qFail(message.constData(), __FILE__, __LINE__);
        return std::nullopt;
    }
    return std::get<Kind>(m_answers.takeFirst());
}

bool ScriptedPrompts::askYesNo(const QString& text, const QString& title, Icon icon) {
    const QString iconName =
        icon == Icon::Question ? QStringLiteral("question") : QStringLiteral("information");
    const auto answer = take<YesNo>({QStringLiteral("yes/no"), {text, title, iconName}});
    return answer && answer->yes;
}

QString ScriptedPrompts::askText(const QString& prompt, const QString& title,
                                 const QString& initialText) {
    const auto answer = take<Text>({QStringLiteral("text"), {prompt, title, initialText}});
    return answer ? answer->text : QString();
}

QString ScriptedPrompts::chooseFile(const QString& title, const QString& filter,
                                    const QString& startDirectory) {
    const auto answer = take<File>({QStringLiteral("file"), {title, filter, startDirectory}});
    return answer ? answer->path : QString();
}

std::optional<QColor> ScriptedPrompts::chooseColour(const QColor& initial) {
    const auto answer = take<Colour>({QStringLiteral("colour"), {initial.name()}});
    return answer ? answer->colour : std::nullopt;
}
