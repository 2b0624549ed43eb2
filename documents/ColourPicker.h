#pragma once

#include <QColor>
#include <QObject>

class Prompts;
class QMenu;
class QToolButton;

// Colour values in the 0x00BBGGRR form: red in the lowest byte, green in the
// next, blue in the third.
quint32 colourValueOf(const QColor& colour);
QColor colourOf(quint32 colourValue);

// Turns a tool button into the text colour picker: its drop-down holds a
// palette, "透明" and "其它颜色..." (the colour dialog). A confirmed choice
// raises colourChosen; closing the drop-down without one raises nothing.
class ColourPicker : public QObject {
    Q_OBJECT

public:
    // The value of the choice "透明"; it lies outside the colours.
    static constexpr quint32 transparentValue = 0xFF000000;

    ColourPicker(QToolButton& button, Prompts& prompts, QObject* parent = nullptr);

    // The colour last chosen; black at first.
    quint32 colourValue() const { return m_colourValue; }
    QMenu& menu() const { return *m_menu; }

signals:
    void colourChosen(quint32 colourValue);

private:
    void addPalette();
    void choose(quint32 colourValue);
    void chooseOther();
    void showChoiceOnButton();

    QToolButton& m_button;
    Prompts& m_prompts;
    QMenu* m_menu;
    quint32 m_colourValue = 0;
};
