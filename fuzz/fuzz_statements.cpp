// Statement texts in the old dialect, parsed and run on a knowledge base
// with a few rows: every text must end in success or a failure report.

#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/sql/Parser.h"
#include "store/sql/SqlFailure.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <memory>
#include <unistd.h>

namespace {

// One knowledge base for the whole run, on a memory file system where there
// is one, since every save syncs.
DatabaseObjects& knowledgeBase() {
    static const std::unique_ptr<DatabaseObjects> database = [] {
        const QString folder = QDir(QStringLiteral("/dev/shm")).exists()
                                   ? QStringLiteral("/dev/shm")
                                   : QDir::tempPath();
        const QString path = folder + QStringLiteral("/lanjian-fuzz-%1.db").arg(getpid());
        QFile::remove(path);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(emptyDatabaseImage()) < 0)
            abort();
        file.close();
        auto objects = std::make_unique<DatabaseObjects>();
        if (!objects->connection.open(path, QString()) ||
            !objects->connection.execute(createItemTable()))
            abort();
        objects->primaryRecordSet.setConnection(&objects->connection);
        objects->secondaryRecordSet.setConnection(&objects->connection);
        addDirectory(*objects, "0", "目录", "", "");
        addDocument(*objects, "1", "文档", "摘要", "<p>正文</p>");
        return objects;
    }();
    return *database;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        sql::parseStatement(text);
    } catch (const sql::SqlFailure&) {
        return 0; // refused before it reaches the file
    }
    DatabaseObjects& database = knowledgeBase();
    RecordSet& rows = database.primaryRecordSet;
    rows.open(text);
    const int count = rows.recordCount();
    for (int i = 0; i < count && i < 50; ++i, rows.moveNext())
        for (const char* column : {"ID", "NTitle", "NText", "NType"})
            rows.readText(column);
    if (count < 0 && !database.connection.execute(text) &&
        database.connection.errorText().isEmpty())
        abort(); // a failure must say why
    return 0;
}
