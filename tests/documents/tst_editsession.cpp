#include "documents/EditSession.h"
#include "documents/Prompts.h"
#include "resources/EmptyDatabaseImage.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"
#include "tests/support/RecordingViews.h"
#include "tests/support/ScriptedPrompts.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The tree box as a flat pre-order list, and a log of the refreshes, each of
// which reports like the real ones do.
class FakeCatalogue : public EditCatalogue {
public:
    struct Item {
        QString text;
        int value;
        int parent;
    };
    QList<Item> items;
    int current = -1;
    QStringList refreshes;
    RecordingStatus* status = nullptr;

    int currentItem() const override { return current; }
    QString itemText(int index) const override {
        return names(index) ? items[index].text : QString();
    }
    int itemValue(int index) const override { return names(index) ? items[index].value : 0; }
    int parentItem(int index) const override { return names(index) ? items[index].parent : -1; }
    void indexCatalogue() override {
        refreshes << u"indexCatalogue"_s;
        status->showStatus(u"目录索引完毕"_s);
    }
    void loadChildren(int index) override {
        QVERIFY(names(index));
        refreshes << u"loadChildren %1"_s.arg(index);
        status->showStatus(u"刷新完毕"_s);
    }

private:
    bool names(int index) const { return index >= 0 && index < items.size(); }
};

class RecordingDisplay : public ItemDisplay {
public:
    QStringList shown;
    void showItem(const QString& id) override { shown << id; }
};

struct StoredItem {
    QString parentId;
    QString title;
    QString key;
    QString text;
    QString time;
    int type = -1;
};

// A knowledge base file holding
//   目录A (ID 1, top level) ⊃ 目录B (ID 2) ⊃ 文档C (ID 3); 文档D (ID 4, top level),
// its catalogue tree with A, B and C loaded, and the edit page as the main
// window builds it.
struct SessionFixture {
    QTemporaryDir directory;
    DatabaseObjects database;
    FakeCatalogue catalogue;
    RecordingDisplay display;
    RecordingStatus status;
    ScriptedPrompts prompts;
    QWidget window;
    EditPage page;
    std::unique_ptr<EditSession> session;

    SessionFixture() {
        const QString path = directory.filePath(u"知识库.db"_s);
        QFile file(path);
        if (!file.open(QIODevice::NewOnly) || file.write(emptyDatabaseImage()) <= 0)
            QTest::qFail("cannot write the knowledge base", __FILE__, __LINE__);
        file.close();
        database.connection.open(path, QString());
        database.primaryRecordSet.setConnection(&database.connection);
        database.secondaryRecordSet.setConnection(&database.connection);
        database.connection.execute(createItemTable());
        addDirectory(database, u"0"_s, u"目录A"_s, QString(), QString());
        addDirectory(database, u"1"_s, u"目录B"_s, QString(), QString());
        addDocument(database, u"2"_s, u"文档C"_s, u"摘要C"_s, u"<b>正文C</b>"_s);
        addDocument(database, u"0"_s, u"文档D"_s, QString(), u"正文D"_s);

        catalogue.items = {
            {u"目录A"_s, 1, -1}, {u"目录B"_s, 2, 0}, {u"文档C"_s, 3, 1}, {u"文档D"_s, 4, -1}};
        catalogue.status = &status;

        page.选择夹_右 = new QStackedWidget(&window);
        page.选择夹_右->addWidget(new QWidget);
        auto* editPage = new QWidget;
        page.选择夹_右->addWidget(editPage);
        page.编辑框_文档名称 = new QLineEdit(editPage);
        page.编辑框_隶属 = new QLineEdit(editPage);
        page.编辑框_隶属->setEnabled(false);
        page.编辑框_关键字 = new QLineEdit(editPage);
        page.选择夹_中 = new QTabWidget(editPage);
        page.超级编辑框 = new QPlainTextEdit;
        page.选择夹_中->addTab(page.超级编辑框, u"代码"_s);
        page.选择夹_中->addTab(new QWidget, u"预览"_s);
        page.按钮_添加 = new QPushButton(u"添加文档"_s, editPage);
        page.按钮_返回 = new QPushButton(u"<< 返回"_s, editPage);
        session =
            std::make_unique<EditSession>(page, database, catalogue, display, status, prompts);
    }

    bool editing() const { return page.选择夹_右->currentIndex() == 1; }
    QString name() const { return page.编辑框_文档名称->text(); }
    QString summary() const { return page.编辑框_关键字->text(); }
    QString body() const { return page.超级编辑框->toPlainText(); }
    QString parentName() const { return page.编辑框_隶属->text(); }

    // The user fills in the boxes: the body is typed, so the box sees it as edited.
    void fillIn(const QString& name, const QString& summary, const QString& body) {
        page.编辑框_文档名称->setText(name);
        page.编辑框_关键字->setText(summary);
        page.超级编辑框->selectAll();
        page.超级编辑框->insertPlainText(body);
    }
    void save() {
        status.messages.clear();
        page.按钮_添加->click();
    }

    std::optional<StoredItem> stored(const QString& id) {
        RecordSet rows;
        rows.setConnection(&database.connection);
        rows.open(selectItemById(id));
        if (rows.recordCount() != 1)
            return std::nullopt;
        return StoredItem{rows.readText(u"NFID"_s),  rows.readText(u"NTitle"_s),
                          rows.readText(u"NKey"_s),  rows.readText(u"NText"_s),
                          rows.readText(u"NTime"_s), rows.readInteger(u"NType"_s)};
    }
    int storedCount() {
        RecordSet rows;
        rows.setConnection(&database.connection);
        rows.open(selectLastId());
        return rows.recordCount();
    }
};

enum class Start {
    ContextAddDocument,
    ContextAddDirectory,
    ContextEdit,
    MenuAddDocument,
    MenuAddDirectory,
    ResultList
};

// Starts a session the way the user does: the context menu acts on the
// current tree item, the result list's right button on an item ID.
void start(SessionFixture& fixture, Start command, int reference) {
    EditSession& session = *fixture.session;
    fixture.catalogue.current = reference;
    switch (command) {
    case Start::ContextAddDocument:
        return session.startFromContextMenu(EditMode::AddDocument);
    case Start::ContextAddDirectory:
        return session.startFromContextMenu(EditMode::AddDirectory);
    case Start::ContextEdit:
        return session.startFromContextMenu(EditMode::Modify);
    case Start::MenuAddDocument:
        return session.startFromEditMenu(EditMode::AddDocument);
    case Start::MenuAddDirectory:
        return session.startFromEditMenu(EditMode::AddDirectory);
    case Start::ResultList:
        return session.startFromResultList(reference);
    }
}

} // namespace

Q_DECLARE_METATYPE(Start)

class EditSessionTest : public QObject {
    Q_OBJECT

private slots:
    void startsShowTheEditPageForTheirItem_data();
    void startsShowTheEditPageForTheirItem();
    void startsAreRefusedWhileEditingOrWithoutKnowledgeBase_data();
    void startsAreRefusedWhileEditingOrWithoutKnowledgeBase();
    void anEmptyNameIsRefusedAndABlankIsStored();
    void addsStoreTheItemAndRefreshItsPartOfTheTree_data();
    void addsStoreTheItemAndRefreshItsPartOfTheTree();
    void aStaleTreeIndexRebuildsTheWholeCatalogue();
    void modificationsStoreTheItemAndShowItAgain_data();
    void modificationsStoreTheItemAndShowItAgain();
    void storedTextsComeBackUnchanged();
    void aFailingStatementKeepsTheSession();
    void anItemThatCannotBeReadOpensEmptyAndIsNotReportedSaved();
    void abandoningAsksFirst();
};

void EditSessionTest::startsShowTheEditPageForTheirItem_data() {
    QTest::addColumn<Start>("command");
    QTest::addColumn<int>("reference");
    QTest::addColumn<QString>("targetId");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<int>("refreshTarget");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name"); // loaded for a modification
    QTest::newRow("context add on top-level directory") << Start::ContextAddDocument << 0 << "1"
                                                        << "目录A" << -1 << "添加文档"
                                                        << "";
    QTest::newRow("context add on deeper directory") << Start::ContextAddDirectory << 1 << "2"
                                                     << "目录B" << 0 << "添加目录"
                                                     << "";
    QTest::newRow("context edit on deep item") << Start::ContextEdit << 2 << "3"
                                               << "目录B" << 1 << "完成修改"
                                               << "文档C";
    QTest::newRow("context edit on top-level item") << Start::ContextEdit << 3 << "4"
                                                    << "" << -1 << "完成修改"
                                                    << "文档D";
    QTest::newRow("menu add document") << Start::MenuAddDocument << 2 << "0"
                                       << "" << -1 << "添加文档"
                                       << "";
    QTest::newRow("menu add directory") << Start::MenuAddDirectory << 2 << "0"
                                        << "" << -1 << "添加目录"
                                        << "";
    // By ID alone: the parent as stored, and the whole catalogue rebuilt.
    QTest::newRow("result list, deep item") << Start::ResultList << 3 << "3"
                                            << "目录B" << -1 << "完成修改"
                                            << "文档C";
    QTest::newRow("result list, top-level item") << Start::ResultList << 4 << "4"
                                                 << "" << -1 << "完成修改"
                                                 << "文档D";
}

void EditSessionTest::startsShowTheEditPageForTheirItem() {
    QFETCH(Start, command);
    QFETCH(int, reference);
    QFETCH(QString, targetId);
    QFETCH(QString, parentName);
    QFETCH(int, refreshTarget);
    QFETCH(QString, caption);
    QFETCH(QString, name);
    SessionFixture fixture;
    // What an earlier session left behind is emptied.
    fixture.page.编辑框_文档名称->setText(u"旧名称"_s);
    fixture.page.编辑框_关键字->setText(u"旧摘要"_s);
    fixture.page.超级编辑框->setPlainText(u"旧正文"_s);
    fixture.page.选择夹_中->setCurrentIndex(1);

    start(fixture, command, reference);

    QVERIFY(fixture.editing());
    QCOMPARE(fixture.page.选择夹_中->currentIndex(), 0);
    QCOMPARE(fixture.session->targetId(), targetId);
    QCOMPARE(fixture.parentName(), parentName);
    QCOMPARE(fixture.session->refreshTarget(), refreshTarget);
    QCOMPARE(fixture.page.按钮_添加->text(), caption);
    QCOMPARE(fixture.status.messages, QStringList{"已进入编辑模式。当前文档ID:" + targetId});
    QCOMPARE(fixture.name(), name);
    if (name.isEmpty()) {
        QCOMPARE(fixture.summary(), QString());
        QCOMPARE(fixture.body(), QString());
    } else {
        QCOMPARE(fixture.session->itemId(), targetId.toInt());
        QCOMPARE(fixture.body(), fixture.stored(targetId)->text);
    }
    QVERIFY(!fixture.page.超级编辑框->document()->isUndoAvailable());
}

void EditSessionTest::startsAreRefusedWhileEditingOrWithoutKnowledgeBase_data() {
    QTest::addColumn<Start>("command");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QString>("message");
    const QString editing = EditSession::editingRefusal;
    const QString notConnected = EditSession::notConnectedRefusal;
    QTest::newRow("context add document") << Start::ContextAddDocument << true << editing;
    QTest::newRow("context add directory") << Start::ContextAddDirectory << true << editing;
    QTest::newRow("context edit") << Start::ContextEdit << true << editing;
    QTest::newRow("menu add document") << Start::MenuAddDocument << true << editing;
    QTest::newRow("menu add directory") << Start::MenuAddDirectory << true << editing;
    QTest::newRow("result list") << Start::ResultList << true << editing;
    QTest::newRow("menu add document, no knowledge base")
        << Start::MenuAddDocument << false << notConnected;
    QTest::newRow("menu add directory, no knowledge base")
        << Start::MenuAddDirectory << false << notConnected;
}

void EditSessionTest::startsAreRefusedWhileEditingOrWithoutKnowledgeBase() {
    QFETCH(Start, command);
    QFETCH(bool, connected);
    QFETCH(QString, message);
    SessionFixture fixture;
    start(fixture, Start::ContextAddDocument, 1);
    fixture.fillIn(u"未保存的名称"_s, u"未保存的摘要"_s, u"未保存的正文"_s);
    if (!connected)
        fixture.database.connection.close(); // the menu asks for a knowledge base first
    fixture.status.messages.clear();

    start(fixture, command, 2);

    QCOMPARE(fixture.status.messages, QStringList{message});
    QVERIFY(fixture.editing());
    QCOMPARE(fixture.session->mode(), EditMode::AddDocument);
    QCOMPARE(fixture.session->targetId(), u"2"_s);
    QCOMPARE(fixture.name(), u"未保存的名称"_s);
    QCOMPARE(fixture.summary(), u"未保存的摘要"_s);
    QCOMPARE(fixture.body(), u"未保存的正文"_s);
    QCOMPARE(fixture.parentName(), u"目录B"_s);
}

void EditSessionTest::anEmptyNameIsRefusedAndABlankIsStored() {
    SessionFixture fixture;
    start(fixture, Start::MenuAddDocument, -1);
    fixture.fillIn(QString(), u"摘要"_s, u"正文"_s);
    fixture.save();
    QCOMPARE(fixture.status.messages, QStringList{"至少要把文档名称写上吧？"});
    QCOMPARE(fixture.storedCount(), 4);
    QVERIFY(fixture.editing());
    QVERIFY(fixture.catalogue.refreshes.isEmpty());

    fixture.page.编辑框_文档名称->setText(u" "_s);
    fixture.save();
    QCOMPARE(fixture.status.messages.last(), u"文档已成功添加"_s);
    QCOMPARE(fixture.stored(u"5"_s)->title, u" "_s);
}

void EditSessionTest::addsStoreTheItemAndRefreshItsPartOfTheTree_data() {
    QTest::addColumn<Start>("command");
    QTest::addColumn<int>("reference");
    QTest::addColumn<QString>("parentId");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("refresh");
    QTest::addColumn<QString>("message");
    QTest::newRow("menu add document")
        << Start::MenuAddDocument << 2 << "0" << 1 << "indexCatalogue"
        << "文档已成功添加";
    QTest::newRow("menu add directory")
        << Start::MenuAddDirectory << 2 << "0" << 0 << "indexCatalogue"
        << "目录已成功添加";
    QTest::newRow("into a top-level directory")
        << Start::ContextAddDocument << 0 << "1" << 1 << "indexCatalogue"
        << "文档已成功添加";
    QTest::newRow("into a deeper directory")
        << Start::ContextAddDirectory << 1 << "2" << 0 << "loadChildren 0"
        << "目录已成功添加";
}

void EditSessionTest::addsStoreTheItemAndRefreshItsPartOfTheTree() {
    QFETCH(Start, command);
    QFETCH(int, reference);
    QFETCH(QString, parentId);
    QFETCH(int, type);
    QFETCH(QString, refresh);
    QFETCH(QString, message);
    SessionFixture fixture;
    start(fixture, command, reference);
    fixture.fillIn(u"新条目"_s, u"它的摘要"_s, u"<p>它的'正文'</p>\n第二行"_s);

    fixture.save();

    const std::optional<StoredItem> item = fixture.stored(u"5"_s);
    QVERIFY(item);
    QCOMPARE(item->parentId, parentId);
    QCOMPARE(item->title, u"新条目"_s);
    QCOMPARE(item->key, u"它的摘要"_s);
    QCOMPARE(item->text, u"<p>它的'正文'</p>\n第二行"_s);
    QCOMPARE(item->type, type);
    QCOMPARE(fixture.catalogue.refreshes, QStringList{refresh});
    QVERIFY(!fixture.editing());
    QVERIFY(fixture.display.shown.isEmpty());
    // The final message comes after the refresh's own.
    QCOMPARE(fixture.status.messages.first(), u"正在保存，请稍候..."_s);
    QCOMPARE(fixture.status.messages.last(), message);
    QCOMPARE(fixture.status.messages.size(), 3);
    // The boxes keep their texts until the next start.
    QCOMPARE(fixture.name(), u"新条目"_s);
}

void EditSessionTest::aStaleTreeIndexRebuildsTheWholeCatalogue() {
    SessionFixture fixture;
    start(fixture, Start::ContextAddDocument, 1); // into 目录B: reload 目录A's children
    // While editing, the tree is rebuilt (another knowledge base, say): index 0
    // now names another item.
    fixture.catalogue.items = {{u"别的目录"_s, 9, -1}};
    fixture.fillIn(u"新文档"_s, QString(), QString());
    fixture.save();
    QCOMPARE(fixture.catalogue.refreshes, QStringList{"indexCatalogue"});
    QCOMPARE(fixture.stored(u"5"_s)->parentId, u"2"_s);
}

void EditSessionTest::modificationsStoreTheItemAndShowItAgain_data() {
    QTest::addColumn<Start>("command");
    QTest::addColumn<int>("reference");
    QTest::addColumn<QString>("refresh");
    QTest::newRow("from the tree") << Start::ContextEdit << 2 << "loadChildren 1";
    QTest::newRow("from the result list") << Start::ResultList << 3 << "indexCatalogue";
}

void EditSessionTest::modificationsStoreTheItemAndShowItAgain() {
    QFETCH(Start, command);
    QFETCH(int, reference);
    QFETCH(QString, refresh);
    SessionFixture fixture;
    const StoredItem before = *fixture.stored(u"3"_s);
    start(fixture, command, reference);
    QCOMPARE(fixture.summary(), u"摘要C"_s);
    fixture.fillIn(u"文档C'"_s, QString(), u"新的正文"_s);

    fixture.save();

    const StoredItem after = *fixture.stored(u"3"_s);
    QCOMPARE(after.title, u"文档C'"_s);
    QCOMPARE(after.key, QString());
    QCOMPARE(after.text, u"新的正文"_s);
    QCOMPARE(after.parentId, before.parentId);
    QCOMPARE(after.time, before.time);
    QCOMPARE(fixture.storedCount(), 4);
    QCOMPARE(fixture.catalogue.refreshes, QStringList{refresh});
    QCOMPARE(fixture.display.shown, QStringList{"3"});
    QVERIFY(!fixture.editing());
    QCOMPARE(fixture.status.messages.last(), u"修改成功"_s);
}

// Old bodies use CR LF, or mix line breaks, and may hold characters the text
// box would rewrite; Memo columns hold summaries longer than an edit box
// takes by default.
void EditSessionTest::storedTextsComeBackUnchanged() {
    SessionFixture fixture;
    const QString body = u"第一行\r\n第二\u00a0行\n"_s; // line breaks mixed
    const QString summary(40000, u'摘');
    QVERIFY(fixture.database.connection.execute(updateText(u"4"_s, body)));
    QVERIFY(fixture.database.connection.execute(updateKey(u"4"_s, summary)));

    // Only the name changes: the body is stored again byte for byte.
    start(fixture, Start::ContextEdit, 3);
    fixture.page.编辑框_文档名称->setText(u"新名称"_s);
    fixture.save();
    QCOMPARE(fixture.stored(u"4"_s)->text, body);
    QCOMPARE(fixture.stored(u"4"_s)->key, summary);

    // An edited body takes the line break its first line ends with.
    start(fixture, Start::ContextEdit, 3);
    fixture.page.超级编辑框->moveCursor(QTextCursor::End);
    fixture.page.超级编辑框->insertPlainText(u"第三行"_s);
    fixture.save();
    QCOMPARE(fixture.stored(u"4"_s)->text, u"第一行\r\n第二\u00a0行\r\n第三行"_s);
}

void EditSessionTest::aFailingStatementKeepsTheSession() {
    SessionFixture fixture;
    start(fixture, Start::ContextEdit, 2);
    fixture.fillIn(u"改过的名称"_s, u"改过的摘要"_s, u"改过的正文"_s);
    const QString path = fixture.directory.filePath(u"知识库.db"_s);
    fixture.database.connection.close();

    fixture.save();
    QCOMPARE(fixture.status.messages.last(), u"修改失败！请检查数据库连接"_s);
    QVERIFY(fixture.editing());
    QCOMPARE(fixture.name(), u"改过的名称"_s);
    QCOMPARE(fixture.body(), u"改过的正文"_s);
    QVERIFY(fixture.catalogue.refreshes.isEmpty());
    QVERIFY(fixture.display.shown.isEmpty());

    // The user may save again once the knowledge base is there.
    QVERIFY(fixture.database.connection.open(path, QString()));
    fixture.save();
    QCOMPARE(fixture.status.messages.last(), u"修改成功"_s);
    QCOMPARE(fixture.stored(u"3"_s)->text, u"改过的正文"_s);

    // Adding without a knowledge base.
    start(fixture, Start::ContextAddDocument, 1);
    fixture.fillIn(u"新文档"_s, QString(), u"正文"_s);
    fixture.database.connection.close();
    fixture.save();
    QCOMPARE(fixture.status.messages.last(), u"添加文档失败！请检查数据库连接"_s);
    QVERIFY(fixture.editing());
    QCOMPARE(fixture.name(), u"新文档"_s);

    fixture.page.选择夹_右->setCurrentIndex(0); // gone back to the view page
    start(fixture, Start::ContextAddDirectory, 0);
    fixture.fillIn(u"新目录"_s, QString(), QString());
    fixture.save();
    QCOMPARE(fixture.status.messages.last(), u"添加目录失败！请检查数据库连接"_s);
    QVERIFY(fixture.editing());
}

// The result list's no-result entry has the value -1; an item may also be
// deleted from the tree while it is being edited.
void EditSessionTest::anItemThatCannotBeReadOpensEmptyAndIsNotReportedSaved() {
    SessionFixture fixture;
    start(fixture, Start::ResultList, -1);
    QCOMPARE(fixture.status.messages.last(), u"读取数据失败，请检查数据库连接"_s);
    QVERIFY(fixture.editing());
    QCOMPARE(fixture.name(), QString());
    QCOMPARE(fixture.summary(), QString());
    QCOMPARE(fixture.body(), QString());
    QCOMPARE(fixture.parentName(), QString());

    fixture.fillIn(u"名称"_s, QString(), u"正文"_s);
    fixture.save();
    QCOMPARE(fixture.status.messages.last(), u"修改失败！要修改的条目已不存在"_s);
    QVERIFY(fixture.editing());
    QCOMPARE(fixture.storedCount(), 4);

    fixture.page.选择夹_右->setCurrentIndex(0);
    start(fixture, Start::ContextEdit, 2);
    QVERIFY(fixture.database.connection.execute(deleteItem(u"3"_s)));
    fixture.save();
    QCOMPARE(fixture.status.messages.last(), u"修改失败！要修改的条目已不存在"_s);
    QCOMPARE(fixture.name(), u"文档C"_s);
    QVERIFY(fixture.catalogue.refreshes.isEmpty());
}

void EditSessionTest::abandoningAsksFirst() {
    SessionFixture fixture;
    start(fixture, Start::ContextEdit, 2);
    fixture.fillIn(u"未保存"_s, u"摘要"_s, u"正文"_s);
    fixture.status.messages.clear();

    fixture.prompts.answerYesNo(false);
    fixture.page.按钮_返回->click();
    QCOMPARE(fixture.prompts.asked(), QStringList{"是否真的要放弃当前编辑？|确认|question"});
    QVERIFY(fixture.editing());
    QCOMPARE(fixture.name(), u"未保存"_s);

    fixture.prompts.answerYesNo(true);
    fixture.page.按钮_返回->click();
    QVERIFY(!fixture.editing());
    QCOMPARE(fixture.name(), u"未保存"_s);
    QCOMPARE(fixture.body(), u"正文"_s);
    QCOMPARE(fixture.stored(u"3"_s)->title, u"文档C"_s);
    QVERIFY(fixture.status.messages.isEmpty());
    QVERIFY(fixture.catalogue.refreshes.isEmpty());
}

QTEST_MAIN(EditSessionTest)
#include "tst_editsession.moc"
