#include "app/Program.h"

#include "app/ApplicationContext.h"
#include "app/DialogPrompts.h"
#include "app/MainWindow.h"
#include "app/RunDirectory.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installChineseQtTranslations(QTranslator& translator) {
    if (!translator.load(QStringLiteral("qtbase_zh_CN"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    return QCoreApplication::installTranslator(&translator);
}

int runProgram(QApplication& application) {
    // Names the per-user data directory, used when the program's own
    // directory cannot be written.
    QCoreApplication::setApplicationName(QStringLiteral("lanjian"));
    QTranslator qtTexts;
    installChineseQtTranslations(qtTexts);

    ApplicationContext context(chooseRunDirectory(QCoreApplication::applicationDirPath()));
    DialogPrompts prompts;
    MainWindow window(context, prompts);
    window.show();
    return application.exec();
}
