#pragma once

#include <QStringList>
#include <QStyledItemDelegate>

// Records the text of every row the tree paints.
class PaintRecorder : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    mutable QStringList painted;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painted << index.data().toString();
        QStyledItemDelegate::paint(painter, option, index);
    }
};
