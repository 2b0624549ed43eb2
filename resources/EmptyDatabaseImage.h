#pragma once

#include <QByteArray>

// The application id stored in the header of every knowledge base file this
// program makes ("LJKB"), so that its files can be told from other SQLite files.
inline constexpr quint32 knowledgeBaseApplicationId = 0x4C4A4B42;

// The complete bytes of an empty knowledge base: a one-page SQLite 3 database
// without tables, UTF-8, 4,096-byte pages, rollback journal, marked with
// knowledgeBaseApplicationId. A new knowledge base starts as a copy of it.
QByteArray emptyDatabaseImage();
