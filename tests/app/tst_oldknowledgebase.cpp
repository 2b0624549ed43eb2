#include "tests/app/support/ShellFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

// A knowledge base of the old program, met at start-up or through 打开知识库,
// is converted in place and its catalogue shown.
class OldKnowledgeBaseTest : public QObject {
    Q_OBJECT

    static QByteArray sampleBytes() {
        QFile file(QStringLiteral(LANJIAN_FIXTURES "/jet4/sample.db"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void writeSample(const QString& path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(sampleBytes()) > 0);
    }
    static QStringList topLevelTitles(MainWindow& window) {
        QStringList titles;
        QTreeWidget* tree = window.controls().treeBox;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            titles << tree->topLevelItem(i)->text(0);
        return titles;
    }
    // The top level of sample.db in its stored order.
    static QStringList sampleTopLevel() {
        return {"数据结构", "英语语法", "中国历史", "学习计划", "待整理", "杂项", "English Notes"};
    }

private slots:
    void convertedAtStartUp() {
        ShellFixture shell;
        writeSample(shell.runDirectory() + QStringLiteral("/旧笔记.db"));
        shell.writeSettings("[岚笺学习机]\n知识库=旧笔记.db\n");
        MainWindow& window = shell.showWindow();

        QVERIFY(shell.context().database().connection.isConnected());
        QCOMPARE(window.controls().statusParts[1]->text(), QStringLiteral("旧笔记.db"));
        QCOMPARE(topLevelTitles(window), sampleTopLevel());
        QCOMPARE(window.controls().statusParts[3]->text(),
                 QStringLiteral(
                     "已将旧版知识库【旧笔记.db】转换为新格式，原文件保存为【旧笔记.db.jet.bak】"));
        QVERIFY(QFile::exists(shell.runDirectory() + QStringLiteral("/旧笔记.db.jet.bak")));
        QCOMPARE(shell.settings().readText(knowledgeBaseKey, QString()),
                 QStringLiteral("旧笔记.db"));
    }

    void convertedThroughTheOpenCommand() {
        ShellFixture shell;
        MainWindow& window = shell.showWindow();
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("别处.db"));
        writeSample(path);
        shell.prompts().answerFile(path);
        window.menus().openKnowledgeBase->trigger();

        QCOMPARE(topLevelTitles(window), sampleTopLevel());
        QVERIFY(QFile::exists(path + QStringLiteral(".jet.bak")));
        QCOMPARE(shell.settings().readText(knowledgeBaseKey, QString()), QStringLiteral("别处.db"));
    }

    // A damaged old file stays as it was and nothing opens.
    void aFailedConversionOpensNothing() {
        ShellFixture shell;
        MainWindow& window = shell.showWindow();
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath(QStringLiteral("坏.db"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(sampleBytes().left(3 * 4096));
        file.close();
        shell.prompts().answerFile(path);
        window.menus().openKnowledgeBase->trigger();

        QVERIFY(!shell.context().database().connection.isConnected());
        QVERIFY(window.controls().statusParts[3]->text().startsWith(
            QStringLiteral("旧版知识库【坏.db】转换失败：")));
        QCOMPARE(QDir(elsewhere.path()).entryList(QDir::Files), QStringList({"坏.db"}));
    }
};

QTEST_MAIN(OldKnowledgeBaseTest)
#include "tst_oldknowledgebase.moc"
