#pragma once

#include <QDate>
#include <QString>

// The automatic backups of knowledge bases: one copy a day of each, made
// when it is opened, in runDirectory/Data/backup as <name>-<yyyy-MM-dd>.db,
// the newest seven of each knowledge base kept.

// The folder that holds the backups.
QString backupFolder(const QString& runDirectory);

// Makes today's backup of the knowledge base file at path unless it exists
// already, then removes all but the newest seven of that knowledge base.
// The copy is taken with SQLite's backup interface, so it is consistent even
// while another process writes. Returns the empty text on success, else the
// reason in words; a failed backup leaves no partial file.
QString backUpKnowledgeBase(const QString& path, const QString& runDirectory, QDate today);
