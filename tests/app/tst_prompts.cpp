#include "app/DialogPrompts.h"
#include "app/Program.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>

namespace {

// Runs answer on the modal dialog once it is up.
void whenDialogShows(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer] {
        QWidget* dialog = nullptr;
        QTRY_VERIFY((dialog = QApplication::activeModalWidget()) != nullptr);
        answer(dialog);
    });
}

QStringList buttonTexts(QWidget* dialog) {
    QStringList texts;
    for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
        texts << button->text();
    texts.sort();
    return texts;
}

} // namespace

class PromptsTest : public QObject {
    Q_OBJECT

    QTranslator m_qtTexts;
    DialogPrompts m_prompts;

private slots:
    void initTestCase() { QVERIFY(installChineseQtTranslations(m_qtTexts)); }

    void textBox() {
        whenDialogShows([](QWidget* dialog) {
            auto* input = qobject_cast<QInputDialog*>(dialog);
            QVERIFY(input);
            QCOMPARE(input->windowTitle(), QStringLiteral("请输入："));
            QCOMPARE(input->labelText(), QStringLiteral("请输入新知识库的名称"));
            QCOMPARE(input->textValue(), QStringLiteral("新建 知识库"));
            QCOMPARE(buttonTexts(input), QStringList({"取消(&C)", "确认输入(&O)"}));
            input->findChild<QLineEdit*>()->setText(QStringLiteral("笔记"));
            input->accept();
        });
        QCOMPARE(m_prompts.askText(QStringLiteral("请输入新知识库的名称"), QString(),
                                   QStringLiteral("新建 知识库")),
                 QStringLiteral("笔记"));

        whenDialogShows([](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("标题"));
            static_cast<QDialog*>(dialog)->reject();
        });
        QCOMPARE(m_prompts.askText(QStringLiteral("提示"), QStringLiteral("标题"),
                                   QStringLiteral("不要")),
                 QString());
    }

    // Only Yes proceeds; Qt's own buttons speak Chinese.
    void yesNoBox_data() {
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("result");
        QTest::newRow("question, yes")
            << int(Prompts::Icon::Question) << int(QMessageBox::Yes) << true;
        QTest::newRow("question, no")
            << int(Prompts::Icon::Question) << int(QMessageBox::No) << false;
        QTest::newRow("information, yes")
            << int(Prompts::Icon::Information) << int(QMessageBox::Yes) << true;
        QTest::newRow("closed") << int(Prompts::Icon::Question) << int(QMessageBox::Escape)
                                << false;
    }
    void yesNoBox() {
        QFETCH(int, icon);
        QFETCH(int, button);
        QFETCH(bool, result);
        const Prompts::Icon promptIcon = Prompts::Icon(icon);
        whenDialogShows([promptIcon, button](QWidget* dialog) {
            auto* box = qobject_cast<QMessageBox*>(dialog);
            QVERIFY(box);
            QCOMPARE(box->icon(), promptIcon == Prompts::Icon::Question ? QMessageBox::Question
                                                                        : QMessageBox::Information);
            QCOMPARE(box->text(), QStringLiteral("确定删除吗？"));
            QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
            if (button == QMessageBox::Escape)
                box->reject();
            else
                box->button(QMessageBox::StandardButton(button))->click();
        });
        QCOMPARE(
            m_prompts.askYesNo(QStringLiteral("确定删除吗？"), QStringLiteral("删除"), promptIcon),
            result);
    }
};

QTEST_MAIN(PromptsTest)
#include "tst_prompts.moc"
