// Setting.ini files of any content: every key reads without harm, and
// writing one key leaves what the others read unchanged.

#include "app/Settings.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // On a memory file system where there is one, since every write syncs.
    static const QString path =
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                   : QDir::tempPath()) +
        QStringLiteral("/lanjian-fuzz-%1-Setting.ini").arg(getpid());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        abort();
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    file.close();

    const Settings settings(path);
    const char* keys[] = {leftKey, topKey, widthKey, heightKey, maximisedKey, staysOnTopKey};
    QStringList before;
    for (const char* key : keys) {
        before << settings.readText(QString::fromUtf8(key), QStringLiteral("默认"));
        settings.readInteger(QString::fromUtf8(key), QStringLiteral("200"));
        settings.readFlag(QString::fromUtf8(key));
    }
    const QString value = QStringLiteral("新的 知识库.db");
    settings.writeText(QString::fromUtf8(knowledgeBaseKey), value);
    if (settings.readText(QString::fromUtf8(knowledgeBaseKey), QString()) != value)
        abort();
    QStringList after;
    for (const char* key : keys)
        after << settings.readText(QString::fromUtf8(key), QStringLiteral("默认"));
    if (after != before)
        abort();
    return 0;
}
