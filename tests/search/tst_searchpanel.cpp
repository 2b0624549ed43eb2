#include "resources/EmptyDatabaseImage.h"
#include "search/SearchPanel.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"
#include "tests/support/RecordingViews.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

class RecordingActions : public SearchResultActions {
public:
    void showItem(const QString& id) override { shownItems.append(id); }
    bool isEditing() const override { return editing; }
    void startModifySession(int id) override { modifySessions.append(id); }

    QStringList shownItems;
    QList<int> modifySessions;
    bool editing = false;
};

struct Entry {
    QString text;
    int value;
    bool operator==(const Entry&) const = default;
};

// The search page as the window lays it out, with something else to take the
// focus from the search box.
struct SearchPage {
    QWidget window;
    QLineEdit* otherBox = new QLineEdit(&window);
    QLineEdit* searchBox = new QLineEdit(QStringLiteral(" 搜索..."), &window);
    QCheckBox* titleColumn = new QCheckBox(QStringLiteral("文档名称"), &window);
    QCheckBox* summaryColumn = new QCheckBox(QStringLiteral("摘要"), &window);
    QCheckBox* bodyColumn = new QCheckBox(QStringLiteral("文档内容"), &window);
    QListWidget* resultList = new QListWidget(&window);

    SearchPage() {
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* widget : std::initializer_list<QWidget*>{
                 otherBox, searchBox, titleColumn, summaryColumn, bodyColumn, resultList})
            layout->addWidget(widget);
        for (QCheckBox* column : {titleColumn, summaryColumn, bodyColumn})
            column->setChecked(true);
        window.resize(240, 440);
    }

    SearchControls controls() const {
        return {searchBox, titleColumn, summaryColumn, bodyColumn, resultList};
    }

    void chooseColumns(bool title, bool summary, bool body) {
        titleColumn->setChecked(title);
        summaryColumn->setChecked(summary);
        bodyColumn->setChecked(body);
    }

    QList<Entry> entries() const {
        QList<Entry> result;
        for (int row = 0; row < resultList->count(); ++row) {
            const QListWidgetItem* item = resultList->item(row);
            result.append({item->text(), item->data(SearchPanel::entryValueRole).toInt()});
        }
        return result;
    }

    QPoint entryCentre(int row) const {
        return resultList->visualItemRect(resultList->item(row)).center();
    }
    void clickEntry(int row, Qt::MouseButton button) {
        QTest::mouseClick(resultList->viewport(), button, {}, entryCentre(row));
    }
};

// Types text key by key; QTest::keyClicks takes Latin-1 only.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character),
                            Qt::NoModifier);
}

const QColor black(0, 0, 0);
const QColor middleGrey(128, 128, 128);

} // namespace

class SearchPanelTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void noColumnChosenRunsNoStatement();
    void titleOnlyListsEveryReturnedRow();
    void bodyOnlyDropsKeywordsInsideTags();
    void contentFilterFoldsCapitals();
    void emptyKeyword_data();
    void emptyKeyword();
    void patternCharactersAndApostrophes_data();
    void patternCharactersAndApostrophes();
    void searchWithoutKnowledgeBase();
    void sameNamesOpenTheirOwnItems();
    void rightButtonActsOnTheSelectedEntry();
    void rightButtonWhileEditingIsRefused();
    void entriesThatShowNothing();
    void refillingRaisesNoSelection();
    void focusChangesDiscardTheKeyword();

private:
    void openKnowledgeBase();
    void addDocument(const QString& name, const QString& summary, const QString& body);
    void search(const QString& keyword);

    std::unique_ptr<QTemporaryDir> m_directory;
    std::unique_ptr<DatabaseObjects> m_database;
    std::unique_ptr<SearchPage> m_page;
    std::unique_ptr<RecordingStatus> m_status;
    std::unique_ptr<RecordingActions> m_actions;
    std::unique_ptr<SearchPanel> m_panel;
};

void SearchPanelTest::init() {
    m_directory = std::make_unique<QTemporaryDir>();
    QVERIFY(m_directory->isValid());
    m_database = std::make_unique<DatabaseObjects>();
    m_page = std::make_unique<SearchPage>();
    m_status = std::make_unique<RecordingStatus>();
    m_actions = std::make_unique<RecordingActions>();
    m_panel = std::make_unique<SearchPanel>(m_page->controls(), *m_database, *m_status, *m_actions);
    m_page->window.show();
    m_page->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_page->window));
    m_page->otherBox->setFocus();
}

void SearchPanelTest::cleanup() {
    m_panel.reset();
    m_page.reset();
    m_database.reset();
    m_directory.reset();
}

void SearchPanelTest::openKnowledgeBase() {
    const QString path = m_directory->filePath(QStringLiteral("搜索 知识库.db"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(emptyDatabaseImage()) == emptyDatabaseImage().size());
    file.close();
    QVERIFY(m_database->connection.open(path, QString()));
    m_database->primaryRecordSet.setConnection(&m_database->connection);
    m_database->secondaryRecordSet.setConnection(&m_database->connection);
    QVERIFY(m_database->connection.execute(createItemTable()));
}

void SearchPanelTest::addDocument(const QString& name, const QString& summary,
                                  const QString& body) {
    QVERIFY(::addDocument(*m_database, QStringLiteral("0"), name, summary, body));
}

// Clicks into the search box, types the keyword and presses Enter, as the
// user does.
void SearchPanelTest::search(const QString& keyword) {
    m_page->otherBox->setFocus();
    m_page->searchBox->setFocus();
    QVERIFY(m_page->searchBox->hasFocus());
    typeText(m_page->searchBox, keyword);
    QCOMPARE(m_page->searchBox->text(), keyword);
    *m_status = RecordingStatus();
    QTest::keyClick(m_page->searchBox, Qt::Key_Return);
    QCOMPARE(m_status->busyDepth, 0);
    for (qsizetype i = 0; i < m_status->messages.size(); ++i)
        QVERIFY2(m_status->busyDepthAtMessage[i] > 0, qPrintable(m_status->messages[i]));
}

void SearchPanelTest::noColumnChosenRunsNoStatement() {
    openKnowledgeBase();
    addDocument(QStringLiteral("笔记"), QString(), QStringLiteral("笔记正文"));
    search(QStringLiteral("笔记"));
    QCOMPARE(m_page->entries(), QList<Entry>({{QStringLiteral("笔记"), 1}}));

    m_page->chooseColumns(false, false, false);
    const quint64 statementsBefore = m_database->connection.statementCount();
    search(QStringLiteral("笔记"));
    QCOMPARE(m_status->messages, QStringList({"正在搜索...", "请勾选至少一个搜索项"}));
    QVERIFY(m_page->entries().isEmpty());
    QCOMPARE(m_database->connection.statementCount(), statementsBefore);
}

void SearchPanelTest::titleOnlyListsEveryReturnedRow() {
    openKnowledgeBase();
    addDocument(QStringLiteral("图片说明"), QString(), QStringLiteral("<img src=\"a.png\">"));
    addDocument(QStringLiteral("无关"), QString(), QStringLiteral("图片"));
    addDocument(QStringLiteral("图片"), QString(), QString());
    m_page->chooseColumns(true, false, false);
    search(QStringLiteral("图片"));
    QCOMPARE(m_page->entries(),
             QList<Entry>({{QStringLiteral("图片说明"), 1}, {QStringLiteral("图片"), 3}}));
    QCOMPARE(m_status->messages, QStringList({"正在搜索...", "共找到 2 条记录，正在分析重组...",
                                              "搜索完毕，共找到 2 条记录"}));
}

void SearchPanelTest::bodyOnlyDropsKeywordsInsideTags() {
    openKnowledgeBase();
    addDocument(QStringLiteral("甲"), QString(), QStringLiteral("<img src=\"photo.png\">看图"));
    addDocument(QStringLiteral("乙"), QString(), QStringLiteral("<b>photo</b> 说明"));
    addDocument(QStringLiteral("photo 丙"), QStringLiteral("photo"), QStringLiteral("无"));
    addDocument(QStringLiteral("丁 photo"), QString(), QStringLiteral("<a href=\"photo\">x</a>"));
    addDocument(QStringLiteral("戊"), QStringLiteral("photo"), QStringLiteral("<i photo>"));
    m_page->chooseColumns(false, false, true);
    search(QStringLiteral("photo"));
    QCOMPARE(m_page->entries(), QList<Entry>({{QStringLiteral("乙"), 2},
                                              {QStringLiteral("丁 photo"), 4},
                                              {QStringLiteral("戊"), 5}}));
    QCOMPARE(m_status->messages, QStringList({"正在搜索...", "共找到 4 条记录，正在分析重组...",
                                              "搜索完毕，共找到 3 条记录"}));
}

void SearchPanelTest::contentFilterFoldsCapitals() {
    openKnowledgeBase();
    // The statement finds the row through the tag; the filter must find the
    // capitals in the text.
    addDocument(QStringLiteral("框架"), QString(), QStringLiteral("<img src=\"qt.png\">学习 QT"));
    addDocument(QStringLiteral("图标"), QString(), QStringLiteral("<img src=\"qt.png\">"));
    m_page->chooseColumns(false, false, true);
    search(QStringLiteral("qt"));
    QCOMPARE(m_page->entries(), QList<Entry>({{QStringLiteral("框架"), 1}}));
    QCOMPARE(m_status->messages.last(), QStringLiteral("搜索完毕，共找到 1 条记录"));
}

void SearchPanelTest::emptyKeyword_data() {
    QTest::addColumn<bool>("bodyChosen");
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<QString>("finalMessage");
    QTest::newRow("content filter")
        << true << QList<Entry>({{QStringLiteral("有内容"), 2}}) << "搜索完毕，共找到 1 条记录";
    QTest::newRow("no content filter")
        << false << QList<Entry>({{QString(), 1}, {QStringLiteral("有内容"), 2}})
        << "搜索完毕，共找到 2 条记录";
}

void SearchPanelTest::emptyKeyword() {
    QFETCH(bool, bodyChosen);
    QFETCH(QList<Entry>, entries);
    QFETCH(QString, finalMessage);
    openKnowledgeBase();
    addDocument(QString(), QString(), QStringLiteral("<br/><hr>"));
    addDocument(QStringLiteral("有内容"), QString(), QString());
    m_page->chooseColumns(true, true, bodyChosen);
    search(QString());
    QCOMPARE(m_page->entries(), entries);
    QCOMPARE(m_status->messages,
             QStringList({"正在搜索...", "共找到 2 条记录，正在分析重组...", finalMessage}));
}

void SearchPanelTest::patternCharactersAndApostrophes_data() {
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<bool>("bodyChosen");
    QTest::addColumn<QList<Entry>>("entries");
    const Entry percent{QStringLiteral("100%纯"), 1};
    const Entry anyPercent{QStringLiteral("100x纯"), 2};
    const Entry underscore{QStringLiteral("a_c"), 3};
    const Entry anyUnderscore{QStringLiteral("abc"), 4};
    const Entry apostrophe{QStringLiteral("it's"), 5};
    QTest::newRow("% filtered") << "100%纯" << true << QList<Entry>({percent});
    QTest::newRow("% as pattern") << "100%纯" << false << QList<Entry>({percent, anyPercent});
    QTest::newRow("_ filtered") << "a_c" << true << QList<Entry>({underscore});
    QTest::newRow("_ as pattern") << "a_c" << false << QList<Entry>({underscore, anyUnderscore});
    QTest::newRow("apostrophe filtered") << "t's" << true << QList<Entry>({apostrophe});
    QTest::newRow("apostrophe") << "t's" << false << QList<Entry>({apostrophe});
}

void SearchPanelTest::patternCharactersAndApostrophes() {
    QFETCH(QString, keyword);
    QFETCH(bool, bodyChosen);
    QFETCH(QList<Entry>, entries);
    openKnowledgeBase();
    for (const QString& name : QStringList{"100%纯", "100x纯", "a_c", "abc", "it's", "its"})
        addDocument(name, QString(), name);
    m_page->chooseColumns(true, false, bodyChosen);
    search(keyword);
    QCOMPARE(m_page->entries(), entries);
}

void SearchPanelTest::searchWithoutKnowledgeBase() {
    search(QStringLiteral("任何"));
    QCOMPARE(m_page->entries(), QList<Entry>({{SearchPanel::noResultText, -1}}));
    QCOMPARE(m_status->messages, QStringList({"正在搜索...", "搜索完毕，未搜索到相关资料"}));
}

void SearchPanelTest::sameNamesOpenTheirOwnItems() {
    openKnowledgeBase();
    addDocument(QStringLiteral("同名"), QString(), QStringLiteral("一"));
    addDocument(QStringLiteral("同名"), QString(), QStringLiteral("二"));
    search(QStringLiteral("同名"));
    QCOMPARE(m_page->entries(),
             QList<Entry>({{QStringLiteral("同名"), 1}, {QStringLiteral("同名"), 2}}));
    m_page->clickEntry(1, Qt::LeftButton);
    m_page->clickEntry(0, Qt::LeftButton);
    QCOMPARE(m_actions->shownItems, QStringList({"2", "1"}));
}

void SearchPanelTest::rightButtonActsOnTheSelectedEntry() {
    openKnowledgeBase();
    addDocument(QStringLiteral("第一"), QString(), QStringLiteral("文"));
    addDocument(QStringLiteral("第二"), QString(), QStringLiteral("文"));
    search(QStringLiteral("文"));
    // Reaching the list by keyboard gives an entry the focus, not the selection.
    m_page->resultList->setFocus(Qt::TabFocusReason);
    m_page->clickEntry(0, Qt::RightButton);
    QVERIFY(m_actions->modifySessions.isEmpty());
    QVERIFY(m_actions->shownItems.isEmpty());

    m_page->clickEntry(1, Qt::LeftButton);
    m_page->clickEntry(0, Qt::RightButton);
    QCOMPARE(m_actions->modifySessions, QList<int>({2}));
    QCOMPARE(m_page->resultList->selectedItems(), {m_page->resultList->item(1)});
}

void SearchPanelTest::rightButtonWhileEditingIsRefused() {
    openKnowledgeBase();
    addDocument(QStringLiteral("正在编辑"), QString(), QStringLiteral("文"));
    search(QStringLiteral("文"));
    m_page->clickEntry(0, Qt::LeftButton);
    m_actions->editing = true;
    m_status->messages.clear();
    m_page->clickEntry(0, Qt::RightButton);
    QVERIFY(m_actions->modifySessions.isEmpty());
    QCOMPARE(m_status->messages, QStringList({"你目前正处于编辑模式，请先保存或退出"}));
}

void SearchPanelTest::entriesThatShowNothing() {
    search(QStringLiteral("无"));
    m_page->clickEntry(0, Qt::LeftButton);
    QVERIFY(m_actions->shownItems.isEmpty());

    openKnowledgeBase();
    addDocument(SearchPanel::noResultText, QString(), QStringLiteral("同一个词"));
    addDocument(QString(), QString(), QStringLiteral("同一个词"));
    search(QStringLiteral("同一个词"));
    QCOMPARE(m_page->entries(), QList<Entry>({{SearchPanel::noResultText, 1}, {QString(), 2}}));
    m_page->clickEntry(0, Qt::LeftButton);
    m_page->clickEntry(1, Qt::LeftButton);
    QVERIFY(m_actions->shownItems.isEmpty());
    m_page->clickEntry(1, Qt::RightButton);
    QCOMPARE(m_actions->modifySessions, QList<int>({2}));
}

void SearchPanelTest::refillingRaisesNoSelection() {
    openKnowledgeBase();
    addDocument(QStringLiteral("条目"), QString(), QStringLiteral("文"));
    search(QStringLiteral("条目"));
    m_page->clickEntry(0, Qt::LeftButton);
    QCOMPARE(m_actions->shownItems, QStringList({"1"}));

    QSignalSpy selectionChanges(m_page->resultList, &QListWidget::itemSelectionChanged);
    search(QStringLiteral("条目"));
    QCOMPARE(selectionChanges.count(), 0);
    QCOMPARE(m_actions->shownItems, QStringList({"1"}));
    QVERIFY(m_page->resultList->selectedItems().isEmpty());
    m_page->clickEntry(0, Qt::RightButton);
    QVERIFY(m_actions->modifySessions.isEmpty());
}

void SearchPanelTest::focusChangesDiscardTheKeyword() {
    QLineEdit* box = m_page->searchBox;
    box->setFocus();
    QCOMPARE(box->text(), QString());
    QCOMPARE(box->palette().color(QPalette::Text), black);
    typeText(box, QStringLiteral("关键词"));
    // The box's own context menu takes the focus for a moment only.
    QFocusEvent toPopup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box, &toPopup);
    QCOMPARE(box->text(), QStringLiteral("关键词"));

    m_page->otherBox->setFocus();
    QCOMPARE(box->text(), QStringLiteral(" 搜索..."));
    QCOMPARE(box->palette().color(QPalette::Text), middleGrey);

    box->setFocus();
    QCOMPARE(box->text(), QString());
    QCOMPARE(box->palette().color(QPalette::Text), black);
}

QTEST_MAIN(SearchPanelTest)
#include "tst_searchpanel.moc"
