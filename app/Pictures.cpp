#include "app/Pictures.h"

// The pictures live in the resources library; a static library's resources
// must be registered by its user. Outside any namespace, as the macro needs.
static void registerPictures() {
    Q_INIT_RESOURCE(pictures);
}

namespace {

QIcon picture(const QString& fileName) {
    static const bool registered = (registerPictures(), true);
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/pictures/") + fileName);
}

} // namespace

QList<QIcon> treeBoxPictures() {
    return {picture(QStringLiteral("closed-book.xpm")), picture(QStringLiteral("open-book.xpm")),
            picture(QStringLiteral("page.xpm"))};
}

QIcon insertPicturePicture() {
    return picture(QStringLiteral("insert-picture.xpm"));
}

QIcon insertLinkPicture() {
    return picture(QStringLiteral("insert-link.xpm"));
}

QIcon insertAttachmentPicture() {
    return picture(QStringLiteral("insert-attachment.xpm"));
}
