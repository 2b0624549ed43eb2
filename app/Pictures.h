#pragma once

#include <QIcon>
#include <QList>

// The tree box's picture list, indexed by ItemImage: a closed book
// (ClosedDirectory), an open book (OpenDirectory) and a page (Document),
// 16 × 16 each.
QList<QIcon> treeBoxPictures();

// The 20 × 20 pictures of the markup toolbar's picture buttons.
QIcon insertPicturePicture();
QIcon insertLinkPicture();
QIcon insertAttachmentPicture();
