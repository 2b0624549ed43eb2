#pragma once

#include <QDateTime>
#include <QString>

class RecordSet;
struct DatabaseObjects;

// Every statement the program sends to a knowledge base, as text. Building a
// text and running it are separate steps: these functions only build.
//
// Ids are decimal texts, as callers hold them ("0" is the top level). Texts a
// user typed (names, summaries, bodies, search texts) are quoted with
// quotedText, so the stored row holds exactly what was typed.

// The text between single quotes, every single quote inside written twice.
// Nothing else is escaped: "%" and "_" keep their pattern meaning in like.
QString quotedText(const QString& text);

// The one table of a knowledge base, NKTB.
QString createItemTable();

QString selectItemById(const QString& id);
QString selectTopLevel();
QString selectChildren(const QString& parentId);
QString selectChildDirectories(const QString& parentId);
QString selectSubdirectoriesForDelete(const QString& parentId);
// Every ID, highest first.
QString selectLastId();

// A document row; its NRemark is written as the empty text.
QString insertDocument(const QString& newId, const QString& parentId, const QString& name,
                       const QString& summary, const QString& body, const QString& timeText);
// A directory row; its NRemark is not written and stays NULL.
QString insertDirectory(const QString& newId, const QString& parentId, const QString& name,
                        const QString& summary, const QString& body, const QString& timeText);

QString updateTitle(const QString& id, const QString& name);
QString updateKey(const QString& id, const QString& summary);
QString updateText(const QString& id, const QString& body);
QString moveItem(const QString& id, const QString& newParentId);
QString deleteChildren(const QString& parentId);
QString deleteItem(const QString& id);

// Rows whose columns, joined by the expression (e.g. "NTitle+NKey+NText"),
// contain the search text.
QString searchItems(const QString& columnExpression, const QString& searchText);

// The ID for a new row: the highest stored ID + 1, "1" when there is none
// or the look-up fails. Runs selectLastId on the given (secondary) record set.
QString nextItemId(RecordSet& secondaryRecordSet);

// The creation time written into NTime, e.g. "2012年3月5日9时7分2秒": no
// leading zeros, trailing zero parts of the time left out.
QString creationTimeText(const QDateTime& time);
// The creation time text of the current local time.
QString creationTimeText();

// Adds a document or a directory under parentId with the next item ID and
// the current creation time; true when the insert succeeded.
bool addDocument(DatabaseObjects& database, const QString& parentId, const QString& name,
                 const QString& summary, const QString& body);
bool addDirectory(DatabaseObjects& database, const QString& parentId, const QString& name,
                  const QString& summary, const QString& body);

// Writes name, summary and body of item id, in that order; true only when
// all three were written (it stops at the first failure, whose errorText
// stays). NTime is left as it was.
bool modifyItem(DatabaseObjects& database, const QString& id, const QString& name,
                const QString& summary, const QString& body);
