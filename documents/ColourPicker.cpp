#include "documents/ColourPicker.h"

#include "documents/MarkupToolbar.h"
#include "documents/Prompts.h"

#include <QGridLayout>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QWidgetAction>

namespace {

// The palette, row by row, as RGB texts.
constexpr int paletteColumns = 8;
const char* const paletteColours[] = {
    "#ff8080", "#ffff80", "#80ff80", "#00ff80", "#80ffff", "#0080ff", "#ff80c0", "#ff80ff",
    "#ff0000", "#ffff00", "#80ff00", "#00ff40", "#00ffff", "#0080c0", "#8080c0", "#ff00ff",
    "#804040", "#ff8040", "#00ff00", "#008080", "#004080", "#8080ff", "#800040", "#ff0080",
    "#800000", "#ff8000", "#008000", "#008040", "#0000ff", "#0000a0", "#800080", "#8000ff",
    "#400000", "#804000", "#004000", "#004040", "#000080", "#000040", "#400040", "#400080",
    "#000000", "#808000", "#808040", "#808080", "#408080", "#c0c0c0", "#404040", "#ffffff",
};

// A swatch of the colour; 透明 is drawn as a white field struck through.
QIcon swatch(quint32 colourValue, QSize size) {
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    const QRect field(0, 0, size.width() - 1, size.height() - 1);
    const bool transparent = colourValue == ColourPicker::transparentValue;
    painter.fillRect(field, transparent ? QColor(Qt::white) : colourOf(colourValue));
    painter.setPen(Qt::gray);
    painter.drawRect(field);
    if (transparent) {
        painter.setPen(Qt::red);
        painter.drawLine(field.bottomLeft(), field.topRight());
    }
    return QIcon(pixmap);
}

} // namespace

quint32 colourValueOf(const QColor& colour) {
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

QColor colourOf(quint32 colourValue) {
    return QColor(colourValue & 0xFF, (colourValue >> 8) & 0xFF, (colourValue >> 16) & 0xFF);
}

ColourPicker::ColourPicker(QToolButton& button, Prompts& prompts, QObject* parent)
    : QObject(parent), m_button(button), m_prompts(prompts), m_menu(new QMenu(&button)) {
    addPalette();
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("透明")), &QAction::triggered, this,
            [this] { choose(transparentValue); });
    connect(m_menu->addAction(QStringLiteral("其它颜色...")), &QAction::triggered, this,
            &ColourPicker::chooseOther);
    m_button.setMenu(m_menu);
    m_button.setPopupMode(QToolButton::InstantPopup);
    m_button.setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_button.setIconSize(QSize(24, 12));
    showChoiceOnButton();
}

void ColourPicker::addPalette() {
    auto* palette = new QWidget(m_menu);
    auto* grid = new QGridLayout(palette);
    grid->setSpacing(2);
    grid->setContentsMargins(4, 4, 4, 4);
    int index = 0;
    for (const char* rgb : paletteColours) {
        const quint32 value = colourValueOf(QColor::fromString(QLatin1String(rgb)));
        auto* colourButton = new QToolButton(palette);
        colourButton->setAutoRaise(true);
        colourButton->setIconSize(QSize(14, 14));
        colourButton->setIcon(swatch(value, QSize(14, 14)));
        colourButton->setToolTip(colourText(value));
        colourButton->setAccessibleName(colourText(value));
        connect(colourButton, &QToolButton::clicked, this, [this, value] {
            m_menu->hide();
            choose(value);
        });
        grid->addWidget(colourButton, index / paletteColumns, index % paletteColumns);
        ++index;
    }
    auto* action = new QWidgetAction(m_menu);
    action->setDefaultWidget(palette);
    m_menu->addAction(action);
}

void ColourPicker::choose(quint32 colourValue) {
    m_colourValue = colourValue;
    showChoiceOnButton();
    emit colourChosen(colourValue);
}

void ColourPicker::chooseOther() {
    const QColor initial =
        m_colourValue == transparentValue ? QColor(Qt::black) : colourOf(m_colourValue);
    if (const std::optional<QColor> colour = m_prompts.chooseColour(initial))
        choose(colourValueOf(*colour));
}

void ColourPicker::showChoiceOnButton() {
    m_button.setIcon(swatch(m_colourValue, m_button.iconSize()));
    m_button.setToolTip(m_colourValue == transparentValue ? QStringLiteral("透明")
                                                          : colourText(m_colourValue));
}
