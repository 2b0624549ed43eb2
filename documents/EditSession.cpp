#include "documents/EditSession.h"

#include "documents/MarkupToolbar.h"
#include "documents/Prompts.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>

#include <limits>

namespace {

constexpr int viewPage = 0;
constexpr int editPage = 1;
constexpr int codePage = 0;

const QString unreadableItemMessage = QStringLiteral("读取数据失败，请检查数据库连接");
const QString modifyFailedMessage = QStringLiteral("修改失败！请检查数据库连接");

// The line break a stored body uses: that of its first line break, "\n"
// when it has none.
QString lineBreakOf(const QString& text) {
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text.at(at) == u'\n')
            return QStringLiteral("\n");
        if (text.at(at) == u'\r')
            return text.mid(at + 1, 1) == u"\n" ? QStringLiteral("\r\n") : QStringLiteral("\r");
    }
    return QStringLiteral("\n");
}

} // namespace

EditSession::EditSession(const EditPage& page, DatabaseObjects& database, EditCatalogue& catalogue,
                         ItemDisplay& display, StatusView& status, Prompts& prompts,
                         QObject* parent)
    : QObject(parent), m_page(page), m_database(database), m_catalogue(catalogue),
      m_display(display), m_status(status), m_prompts(prompts) {
    // Names and summaries are Memo columns: a long stored one must come back whole.
    m_page.编辑框_文档名称->setMaxLength(std::numeric_limits<int>::max());
    m_page.编辑框_关键字->setMaxLength(std::numeric_limits<int>::max());
    connect(m_page.按钮_添加, &QPushButton::clicked, this, &EditSession::saveEditSession);
    connect(m_page.按钮_返回, &QPushButton::clicked, this, &EditSession::abandonEdit);
}

bool EditSession::isEditing() const {
    return m_page.选择夹_右->currentIndex() == editPage;
}

void EditSession::startFromContextMenu(EditMode mode) {
    if (isEditing()) {
        m_status.showStatus(editingRefusal);
        return;
    }
    startEditSession(mode, m_catalogue.currentItem(), false);
}

void EditSession::startFromEditMenu(EditMode mode) {
    if (!m_database.connection.isConnected()) {
        m_status.showStatus(notConnectedRefusal);
        return;
    }
    if (isEditing()) {
        m_status.showStatus(editingRefusal);
        return;
    }
    startEditSession(mode, -1, false);
}

// Refused while editing like every other start, so that the unsaved texts of
// the running session are never thrown away without a word.
void EditSession::startFromResultList(int id) {
    if (isEditing()) {
        m_status.showStatus(editingRefusal);
        return;
    }
    startEditSession(EditMode::Modify, id, true);
}

void EditSession::startEditSession(EditMode mode, int reference, bool referenceIsId) {
    m_mode = mode;
    m_targetId = QString::number(referenceIsId ? reference : m_catalogue.itemValue(reference));
    m_status.showStatus(QStringLiteral("已进入编辑模式。当前文档ID:") + m_targetId);
    m_page.编辑框_文档名称->clear();
    m_page.编辑框_关键字->clear();
    m_page.超级编辑框->setPlainText(QString());
    m_loadedBody.clear();
    m_loadedBodyShown.clear();
    m_lineBreak = QStringLiteral("\n");
    switch (mode) {
    case EditMode::AddDocument:
        m_page.按钮_添加->setText(QStringLiteral("添加文档"));
        break;
    case EditMode::AddDirectory:
        m_page.按钮_添加->setText(QStringLiteral("添加目录"));
        break;
    default:
        m_page.按钮_添加->setText(QStringLiteral("完成修改"));
        m_itemId = referenceIsId ? reference : m_catalogue.itemValue(reference);
        loadItemForEdit(m_targetId);
        break;
    }
    // A session that knows its item by ID alone holds no tree index: the tree
    // may have changed since any earlier session, so it rebuilds the whole
    // catalogue and names the parent as stored.
    m_refreshTarget = referenceIsId ? -1 : m_catalogue.parentItem(reference);
    m_refreshTargetValue = m_catalogue.itemValue(m_refreshTarget);
    const bool adding = mode == EditMode::AddDocument || mode == EditMode::AddDirectory;
    if (!referenceIsId)
        m_page.编辑框_隶属->setText(m_catalogue.itemText(adding ? reference : m_refreshTarget));
    else
        m_page.编辑框_隶属->setText(storedTitle(adding ? m_targetId : storedParentId(m_targetId)));
    m_page.选择夹_中->setCurrentIndex(codePage);
    m_page.选择夹_右->setCurrentIndex(editPage);
}

void EditSession::loadItemForEdit(const QString& id) {
    RecordSet& rows = m_database.primaryRecordSet;
    rows.open(selectItemById(id));
    if (rows.recordCount() <= 0) {
        m_status.showStatus(unreadableItemMessage);
        return;
    }
    m_page.编辑框_文档名称->setText(rows.readText(QStringLiteral("NTitle")));
    m_page.编辑框_关键字->setText(rows.readText(QStringLiteral("NKey")));
    m_loadedBody = rows.readText(QStringLiteral("NText"));
    m_page.超级编辑框->setPlainText(m_loadedBody);
    m_loadedBodyShown = codeText(*m_page.超级编辑框);
    m_lineBreak = lineBreakOf(m_loadedBody);
}

void EditSession::saveEditSession() {
    const QString name = m_page.编辑框_文档名称->text();
    if (name.isEmpty()) {
        m_status.showStatus(QStringLiteral("至少要把文档名称写上吧？"));
        return;
    }
    const BusyScope busy(m_status);
    m_status.showStatus(QStringLiteral("正在保存，请稍候..."));
    const QString summary = m_page.编辑框_关键字->text();
    const QString body = bodyText();
    switch (m_mode) {
    case EditMode::AddDocument:
        if (!addDocument(m_database, m_targetId, name, summary, body)) {
            m_status.showStatus(QStringLiteral("添加文档失败！请检查数据库连接"));
            return;
        }
        finishSave(QStringLiteral("文档已成功添加"));
        break;
    case EditMode::AddDirectory:
        if (!addDirectory(m_database, m_targetId, name, summary, body)) {
            m_status.showStatus(QStringLiteral("添加目录失败！请检查数据库连接"));
            return;
        }
        finishSave(QStringLiteral("目录已成功添加"));
        break;
    default:
        if (!modifiedItemExists())
            return;
        if (!modifyItem(m_database, m_targetId, name, summary, body)) {
            m_status.showStatus(modifyFailedMessage);
            return;
        }
        finishSave(QStringLiteral("修改成功"));
        break;
    }
}

void EditSession::abandonEdit() {
    if (m_prompts.askYesNo(QStringLiteral("是否真的要放弃当前编辑？"), QStringLiteral("确认"),
                           Prompts::Icon::Question))
        m_page.选择夹_右->setCurrentIndex(viewPage);
}

// The title of the stored item, on the secondary record set; empty when
// there is no such item (the top level "0" included).
QString EditSession::storedTitle(const QString& id) const {
    RecordSet& rows = m_database.secondaryRecordSet;
    rows.open(selectItemById(id));
    return rows.recordCount() > 0 ? rows.readText(QStringLiteral("NTitle")) : QString();
}

// The stored item's NFID as the decimal text of an ID; "0" when there is no
// such item or its NFID is no number, so that nothing else is spliced into a
// statement.
QString EditSession::storedParentId(const QString& id) const {
    RecordSet& rows = m_database.secondaryRecordSet;
    rows.open(selectItemById(id));
    bool isNumber = false;
    const int parentId =
        rows.recordCount() > 0 ? rows.readText(QStringLiteral("NFID")).toInt(&isNumber) : 0;
    return QString::number(isNumber ? parentId : 0);
}

QString EditSession::bodyText() const {
    const QString shown = codeText(*m_page.超级编辑框);
    if (shown == m_loadedBodyShown)
        return m_loadedBody;
    return codeText(*m_page.超级编辑框, m_lineBreak);
}

// The updates of a modification succeed also when no row has the ID, which
// would report an item deleted meanwhile (or the ID -1 of the result list's
// no-result entry) as modified and lose the texts. The session stays instead.
bool EditSession::modifiedItemExists() {
    RecordSet& rows = m_database.secondaryRecordSet;
    rows.open(selectItemById(m_targetId));
    if (rows.recordCount() < 0) {
        m_status.showStatus(modifyFailedMessage);
        return false;
    }
    if (rows.recordCount() == 0) {
        m_status.showStatus(QStringLiteral("修改失败！要修改的条目已不存在"));
        return false;
    }
    return true;
}

void EditSession::refreshCatalogue() {
    if (m_refreshTarget != -1 && m_catalogue.itemValue(m_refreshTarget) == m_refreshTargetValue)
        m_catalogue.loadChildren(m_refreshTarget);
    else
        m_catalogue.indexCatalogue();
}

void EditSession::finishSave(const QString& message) {
    refreshCatalogue();
    m_page.选择夹_右->setCurrentIndex(viewPage);
    if (m_mode == EditMode::Modify)
        m_display.showItem(QString::number(m_itemId));
    m_status.showStatus(message);
}
