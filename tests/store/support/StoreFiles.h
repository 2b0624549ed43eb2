#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct DatabaseObjects;

// Helpers for tests that work on real knowledge base files.

// Writes the empty image to path (which must not exist) and creates the item
// table in it; true on success. The file is closed afterwards.
bool createKnowledgeBaseFile(const QString& path);
// Opens path on the connection and binds both record sets to it.
bool openDatabase(DatabaseObjects& database, const QString& path);
// Adds directories and documents with bodies of varied length, rows in all.
bool fillKnowledgeBase(DatabaseObjects& database, int rows);
// Every row the connection reads, "ID|NFID|NTitle|NKey|NText|NTime|NType"
// each, in ID order.
QStringList rowsOf(DatabaseObjects& database);
// What SQLite's integrity check says about the file ("ok" when sound). It
// opens the file for writing, so that a crashed writer's journal is rolled
// back first, as any later open does.
QString integrityOf(const QString& path);
QByteArray fileBytes(const QString& path);
bool writeBytes(const QString& path, const QByteArray& bytes);
