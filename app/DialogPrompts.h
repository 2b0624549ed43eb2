#pragma once

#include "documents/Prompts.h"

// The prompts as Qt's modal dialogs, over the window that is active when
// they are asked.
class DialogPrompts : public Prompts {
public:
    bool askYesNo(const QString& text, const QString& title, Icon icon) override;
    QString askText(const QString& prompt, const QString& title,
                    const QString& initialText) override;
    QString chooseFile(const QString& title, const QString& filter,
                       const QString& startDirectory) override;
    std::optional<QColor> chooseColour(const QColor& initial) override;
};
