#pragma once

#include <QIcon>
#include <QList>

// Three 16 × 16 pictures of different colours standing in for the tree box's
// picture list (closed book, open book, page).
QList<QIcon> testPictures();
