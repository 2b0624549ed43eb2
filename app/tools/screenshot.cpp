// Renders the main window, with a small sample knowledge base open, to a PNG
// file on the offscreen platform: lanjian_screenshot <file.png>.
#include "app/ApplicationContext.h"
#include "app/DialogPrompts.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "store/KnowledgeBase.h"
#include "store/Statements.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTranslator>
#include <cstdio>

namespace {

void fillSample(DatabaseObjects& database) {
    addDirectory(database, QStringLiteral("0"), QStringLiteral("C++ 学习笔记"), QString(),
                 QString());
    addDirectory(database, QStringLiteral("0"), QStringLiteral("Qt 界面"), QString(), QString());
    addDocument(database, QStringLiteral("0"), QStringLiteral("读书摘录"),
                QStringLiteral("随手记下的句子"), QStringLiteral("<p>学而时习之</p>"));
    addDocument(database, QStringLiteral("1"), QStringLiteral("智能指针"),
                QStringLiteral("unique_ptr 与 shared_ptr"), QStringLiteral("<h2>智能指针</h2>"));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: lanjian_screenshot <file.png>\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTranslator qtTexts;
    installChineseQtTranslations(qtTexts);

    QTemporaryDir runDirectory;
    ApplicationContext context(runDirectory.path());
    DialogPrompts prompts;
    MainWindow window(context, prompts);
    if (createKnowledgeBase(context.database(), context.runDirectory(), QStringLiteral("我的笔记"),
                            window)) {
        fillSample(context.database());
        context.settings().writeText(knowledgeBaseKey, QStringLiteral("我的笔记.db"));
        window.indexCatalogue();
    }
    window.show();
    QApplication::processEvents();
    window.activateWindow();
    QApplication::processEvents();

    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
