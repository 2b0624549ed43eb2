#pragma once

#include "store/StatusView.h"

#include <QString>

struct DatabaseObjects;

// What opening a knowledge base shows: the main window implements it.
class KnowledgeBaseView : public StatusView {
public:
    // Puts the file name of the open knowledge base into the status bar's
    // part after "当前知识库:".
    virtual void showKnowledgeBaseName(const QString& fileName) = 0;
    // Rebuilds the catalogue tree from the top level.
    virtual void indexCatalogue() = 0;
};

// The last component of path, extension included: the text after the last
// "/", or the whole path when it has none.
QString fileNameOf(const QString& path);

// Opens the knowledge base file at path (an old program's file is converted
// first), binds both record sets to the connection, shows the file name and
// indexes the catalogue. Given a runDirectory, it then makes the day's backup
// there (see backUpKnowledgeBase); a failed backup is reported, the open
// stands. On failure it returns false and leaves no knowledge base open; the
// view keeps what it showed, and only a damaged file is reported.
bool openKnowledgeBase(DatabaseObjects& database, const QString& path, KnowledgeBaseView& view,
                       const QString& runDirectory = QString());

// Opens the knowledge base that Setting.ini names (the 知识库 value, a file
// name) from runDirectory, backing it up there.
bool openStartupKnowledgeBase(DatabaseObjects& database, const QString& runDirectory,
                              const QString& settingValue, KnowledgeBaseView& view);

// Creates the knowledge base runDirectory/<name>.db from the empty image,
// opens it and creates its table, reporting failures through the view. A
// name of blanks does nothing. Nothing existing is ever replaced. Returns
// true when the file was created, i.e. when Setting.ini should now name it.
bool createKnowledgeBase(DatabaseObjects& database, const QString& runDirectory,
                         const QString& name, KnowledgeBaseView& view);
