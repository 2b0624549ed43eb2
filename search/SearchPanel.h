#pragma once

#include <QObject>
#include <QString>

class QCheckBox;
class QLineEdit;
class QListWidget;
class StatusView;
struct DatabaseObjects;

// The controls of the search page, created and placed by the main window.
struct SearchControls {
    QLineEdit* searchBox = nullptr;     // 编辑框_搜索
    QCheckBox* titleColumn = nullptr;   // 选择框1 "文档名称"
    QCheckBox* summaryColumn = nullptr; // 选择框2 "摘要"
    QCheckBox* bodyColumn = nullptr;    // 选择框3 "文档内容"
    QListWidget* resultList = nullptr;  // 列表框
};

// What the result list asks of the rest of the window.
class SearchResultActions {
public:
    virtual ~SearchResultActions() = default;
    // Shows the item with this ID (decimal text) in the document view.
    virtual void showItem(const QString& id) = 0;
    // True while the edit page is shown.
    virtual bool isEditing() const = 0;
    // Starts a session that modifies the item with this ID.
    virtual void startModifySession(int id) = 0;
};

// The search page: the placeholder of the search box, the search on Enter,
// and the result list, whose entries carry the item's name as text and its
// ID as value (in entryValueRole).
class SearchPanel : public QObject {
    Q_OBJECT

public:
    static constexpr int entryValueRole = Qt::UserRole;
    static inline const QString noResultText = QStringLiteral("未搜索到相关资料");

    SearchPanel(const SearchControls& controls, DatabaseObjects& database, StatusView& status,
                SearchResultActions& actions, QObject* parent = nullptr);

    // The whole search, as Enter in the search box runs it.
    void runSearch();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The checked columns joined by "+", empty when none is checked.
    QString searchExpression() const;
    void showPlaceholder(bool on);
    void entrySelected();
    void rightButtonReleased();

    void addEntry(const QString& text, int value);
    int entryCount() const;
    QString entryText(int entry) const;
    int entryValue(int entry) const;
    int currentEntry() const;

    SearchControls m_controls;
    DatabaseObjects& m_database;
    StatusView& m_status;
    SearchResultActions& m_actions;
};
