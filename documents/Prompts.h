#pragma once

#include <QColor>
#include <QString>
#include <optional>

// The modal questions the program asks. Everything that asks the user goes
// through this interface, so tests answer with scripted replies.
class Prompts {
public:
    enum class Icon { Question, Information };

    virtual ~Prompts() = default;
    // A Yes/No message box; true only for Yes.
    virtual bool askYesNo(const QString& text, const QString& title, Icon icon) = 0;
    // An input box: prompt, title ("请输入：" when empty), initial text. The
    // entered text, or the empty text when cancelled.
    virtual QString askText(const QString& prompt, const QString& title,
                            const QString& initialText) = 0;
    // A file-open dialog; the chosen file's full path, or the empty text when
    // cancelled. filter is in Qt's form, e.g. "岚笺知识库 (*.db)"; empty for none.
    virtual QString chooseFile(const QString& title, const QString& filter,
                               const QString& startDirectory) = 0;
    // The colour dialog; no value when cancelled.
    virtual std::optional<QColor> chooseColour(const QColor& initial) = 0;
};
