#include "search/SearchPanel.h"

#include "search/SearchText.h"
#include "store/DatabaseObjects.h"
#include "store/Statements.h"
#include "store/StatusView.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

const QColor keywordColour(0, 0, 0);           // 0, black
const QColor placeholderColour(128, 128, 128); // 8421504, middle grey

// While the list is cleared and filled it neither paints nor tells anyone
// that its selection changed: the user selected nothing.
class ListFilling {
public:
    explicit ListFilling(QListWidget* list) : m_list(list), m_blocker(list) {
        m_list->setUpdatesEnabled(false);
    }
    ~ListFilling() { m_list->setUpdatesEnabled(true); }
    ListFilling(const ListFilling&) = delete;
    ListFilling& operator=(const ListFilling&) = delete;

private:
    QListWidget* m_list;
    QSignalBlocker m_blocker;
};

} // namespace

SearchPanel::SearchPanel(const SearchControls& controls, DatabaseObjects& database,
                         StatusView& status, SearchResultActions& actions, QObject* parent)
    : QObject(parent), m_controls(controls), m_database(database), m_status(status),
      m_actions(actions) {
    m_controls.searchBox->installEventFilter(this);
    m_controls.resultList->viewport()->installEventFilter(this);
    connect(m_controls.searchBox, &QLineEdit::returnPressed, this, &SearchPanel::runSearch);
    connect(m_controls.resultList, &QListWidget::itemSelectionChanged, this,
            &SearchPanel::entrySelected);
}

QString SearchPanel::searchExpression() const {
    return ::searchExpression(m_controls.titleColumn->isChecked(),
                              m_controls.summaryColumn->isChecked(),
                              m_controls.bodyColumn->isChecked());
}

void SearchPanel::runSearch() {
    const BusyScope busy(m_status);
    const ListFilling filling(m_controls.resultList);
    m_controls.resultList->clear();
    const QString keyword = m_controls.searchBox->text();
    m_status.showStatus(QStringLiteral("正在搜索..."));
    const QString expression = searchExpression();
    if (expression.isEmpty()) {
        m_status.showStatus(QStringLiteral("请勾选至少一个搜索项"));
        return;
    }

    // One read transaction for the whole loop: one lock, one consistent state.
    const DatabaseConnection::ReadSnapshot snapshot(m_database.connection);
    RecordSet& rows = m_database.primaryRecordSet;
    rows.open(searchItems(expression, keyword));
    const int rowCount = rows.recordCount();
    if (rowCount <= 0) {
        addEntry(noResultText, -1);
        m_status.showStatus(QStringLiteral("搜索完毕，未搜索到相关资料"));
        return;
    }
    m_status.showStatus(QStringLiteral("共找到 %1 条记录，正在分析重组...").arg(rowCount));

    const bool filterByContent = m_controls.bodyColumn->isChecked();
    QString strippedBuffer;
    for (int row = 0; row < rowCount; ++row) {
        const QString title = rows.readText(QStringLiteral("NTitle"));
        const int id = rows.readInteger(QStringLiteral("ID"));
        const QString summary = rows.readText(QStringLiteral("NKey"));
        bool retained = true;
        if (filterByContent) {
            const QString body = rows.readText(QStringLiteral("NText"));
            const QStringView stripped = stripTags(QStringView(body), strippedBuffer);
            retained = findKeyword(stripped, keyword) >= 0 || findKeyword(title, keyword) >= 0 ||
                       findKeyword(summary, keyword) >= 0;
        }
        if (retained)
            addEntry(title, id);
        rows.moveNext();
    }
    m_status.showStatus(QStringLiteral("搜索完毕，共找到 %1 条记录").arg(entryCount()));
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
    // A box that is being destroyed is no longer a QLineEdit, and loses its
    // focus without a placeholder.
    if (watched == m_controls.searchBox && qobject_cast<QLineEdit*>(watched)) {
        // The box's own context menu takes the focus only for a moment; the
        // keyword stays while it is open.
        const bool focusChange =
            event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
        if (focusChange && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            showPlaceholder(event->type() == QEvent::FocusOut);
        return false;
    }
    if (watched == m_controls.resultList->viewport()) {
        const bool mouseEvent = event->type() == QEvent::MouseButtonPress ||
                                event->type() == QEvent::MouseButtonDblClick ||
                                event->type() == QEvent::MouseButtonRelease;
        if (!mouseEvent || static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
            return false;
        // The right button does not select: it acts on the entry last selected.
        if (event->type() == QEvent::MouseButtonRelease)
            rightButtonReleased();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// Gaining the focus empties the box for the keyword; losing it discards the
// keyword and shows the placeholder again.
void SearchPanel::showPlaceholder(bool on) {
    QLineEdit* box = m_controls.searchBox;
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, on ? placeholderColour : keywordColour);
    box->setPalette(palette);
    box->setText(on ? QStringLiteral(" 搜索...") : QString());
}

void SearchPanel::entrySelected() {
    const int entry = currentEntry();
    const QString text = entryText(entry);
    if (!text.isEmpty() && text != noResultText)
        m_actions.showItem(QString::number(entryValue(entry)));
}

void SearchPanel::rightButtonReleased() {
    const int entry = currentEntry();
    if (entry == -1)
        return;
    // Starting a session while one runs would discard its unsaved texts.
    if (m_actions.isEditing()) {
        m_status.showStatus(QStringLiteral("你目前正处于编辑模式，请先保存或退出"));
        return;
    }
    m_actions.startModifySession(entryValue(entry));
}

void SearchPanel::addEntry(const QString& text, int value) {
    auto* entry = new QListWidgetItem(text);
    entry->setData(entryValueRole, value);
    m_controls.resultList->addItem(entry);
}

int SearchPanel::entryCount() const {
    return m_controls.resultList->count();
}

QString SearchPanel::entryText(int entry) const {
    const QListWidgetItem* item = m_controls.resultList->item(entry);
    return item ? item->text() : QString();
}

int SearchPanel::entryValue(int entry) const {
    const QListWidgetItem* item = m_controls.resultList->item(entry);
    return item ? item->data(entryValueRole).toInt() : -1;
}

// The selected entry; an entry that only has the keyboard focus is not current.
int SearchPanel::currentEntry() const {
    const QList<QListWidgetItem*> selected = m_controls.resultList->selectedItems();
    return selected.isEmpty() ? -1 : m_controls.resultList->row(selected.first());
}
