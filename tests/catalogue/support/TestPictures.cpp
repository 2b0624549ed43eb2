#include "tests/catalogue/support/TestPictures.h"

#include <QPixmap>

QList<QIcon> testPictures() {
    QList<QIcon> pictures;
    for (const QColor colour : {QColor(Qt::darkYellow), QColor(Qt::yellow), QColor(Qt::white)}) {
        QPixmap pixmap(16, 16);
        pixmap.fill(colour);
        pictures.append(QIcon(pixmap));
    }
    return pictures;
}
