#include "app/DialogPrompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

bool DialogPrompts::askYesNo(const QString& text, const QString& title, Icon icon) {
    QMessageBox box(icon == Icon::Question ? QMessageBox::Question : QMessageBox::Information,
                    title, text, QMessageBox::Yes | QMessageBox::No, QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString DialogPrompts::askText(const QString& prompt, const QString& title,
                               const QString& initialText) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title.isEmpty() ? QStringLiteral("请输入：") : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(initialText);
    dialog.setOkButtonText(QStringLiteral("确认输入(&O)"));
    dialog.setCancelButtonText(QStringLiteral("取消(&C)"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString DialogPrompts::chooseFile(const QString& title, const QString& filter,
                                  const QString& startDirectory) {
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), title, startDirectory,
                                        filter);
}

std::optional<QColor> DialogPrompts::chooseColour(const QColor& initial) {
    const QColor colour = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}
