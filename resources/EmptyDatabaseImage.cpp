#include "resources/EmptyDatabaseImage.h"

#include <QtEndian>

namespace {

constexpr int pageSize = 4096;

void putBigEndian16(QByteArray& image, int offset, quint16 value) {
    qToBigEndian(value, image.data() + offset);
}

void putBigEndian32(QByteArray& image, int offset, quint32 value) {
    qToBigEndian(value, image.data() + offset);
}

} // namespace

QByteArray emptyDatabaseImage() {
    QByteArray image(pageSize, '\0');

    // The 100-byte database header.
    image.replace(0, 16, QByteArray("SQLite format 3", 16));
    putBigEndian16(image, 16, pageSize);
    image[18] = 1;  // write version: rollback journal
    image[19] = 1;  // read version: rollback journal
    image[20] = 0;  // reserved bytes per page
    image[21] = 64; // maximum embedded payload fraction
    image[22] = 32; // minimum embedded payload fraction
    image[23] = 32; // leaf payload fraction
    putBigEndian32(image, 24, 1);  // file change counter
    putBigEndian32(image, 28, 1);  // database size in pages
    putBigEndian32(image, 44, 4);  // schema format
    putBigEndian32(image, 56, 1);  // text encoding: UTF-8
    putBigEndian32(image, 68, knowledgeBaseApplicationId);
    putBigEndian32(image, 92, 1);  // version-valid-for, equal to the change counter
    putBigEndian32(image, 96, 3040001); // SQLite version that wrote the file

    // Page 1 holds the schema table: an empty table b-tree leaf.
    image[100] = 0x0D;
    putBigEndian16(image, 105, pageSize); // cell content starts at the page end
    return image;
}
