#pragma once

#include <QObject>
#include <QString>

class Prompts;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class StatusView;
struct DatabaseObjects;

enum class EditMode { None = 0, AddDocument = 1, AddDirectory = 2, Modify = 3 };

// What an edit session asks of the catalogue tree: the tree box operations
// on item indexes (an index that names no item gives the empty text, the
// value 0 and the parent -1), and the two refreshes after a save.
class EditCatalogue {
public:
    virtual ~EditCatalogue() = default;
    virtual int currentItem() const = 0;
    virtual QString itemText(int index) const = 0;
    virtual int itemValue(int index) const = 0;
    virtual int parentItem(int index) const = 0;
    // Rebuilds the whole tree from the top level.
    virtual void indexCatalogue() = 0;
    // Reloads the children of the item at index, which names an item.
    virtual void loadChildren(int index) = 0;
};

// Shows a stored item (its ID as decimal text) on the view page.
class ItemDisplay {
public:
    virtual ~ItemDisplay() = default;
    virtual void showItem(const QString& id) = 0;
};

// The controls of the edit page that a session reads and writes, created and
// placed by the main window.
struct EditPage {
    QLineEdit* 编辑框_文档名称 = nullptr;
    QLineEdit* 编辑框_隶属 = nullptr; // disabled, shown only
    QLineEdit* 编辑框_关键字 = nullptr;
    QPlainTextEdit* 超级编辑框 = nullptr;
    QTabWidget* 选择夹_中 = nullptr;     // pages "代码", "预览"
    QStackedWidget* 选择夹_右 = nullptr; // pages "查看", "编辑"
    QPushButton* 按钮_添加 = nullptr;    // saves
    QPushButton* 按钮_返回 = nullptr;    // abandons
};

// The edit page's session: what the page is doing (adding a document or a
// directory, or modifying an item), which item the result belongs to, and
// which part of the catalogue tree a successful save refreshes. Editing is
// 选择夹_右 showing page 1; it holds from the start of a session until it is
// saved or abandoned. Connects the save and back buttons itself.
class EditSession : public QObject {
    Q_OBJECT

public:
    static inline const QString editingRefusal =
        QStringLiteral("你目前正处于编辑模式，请先保存或退出");
    static inline const QString notConnectedRefusal =
        QStringLiteral("尚未连接资料库！请点击[文件]-[打开资料库]");

    EditSession(const EditPage& page, DatabaseObjects& database, EditCatalogue& catalogue,
                ItemDisplay& display, StatusView& status, Prompts& prompts,
                QObject* parent = nullptr);

    bool isEditing() const;

    // The commands that start a session, each with its refusals. The context
    // menu's 添加文档, 添加目录 (below the current tree item) and 编辑:
    void startFromContextMenu(EditMode mode);
    // 编辑(&E) → 添加文档 and 添加目录 (at the top level):
    void startFromEditMenu(EditMode mode);
    // The right button on the result list: modifies the item with this ID.
    void startFromResultList(int id);

    // Starts a session and shows the edit page. reference is a tree item index
    // (-1 for no item), or an item ID when referenceIsId is true.
    void startEditSession(EditMode mode, int reference, bool referenceIsId);
    // Fills name, summary and body from the stored item.
    void loadItemForEdit(const QString& id);
    // The click of 按钮_添加.
    void saveEditSession();
    // The click of 按钮_返回.
    void abandonEdit();

    EditMode mode() const { return m_mode; }
    // Adding: the new item's parent ID, "0" for the top level; modifying: the
    // ID of the item being modified.
    QString targetId() const { return m_targetId; }
    int itemId() const { return m_itemId; }
    // The tree item whose children a successful save reloads; -1 for the
    // whole catalogue.
    int refreshTarget() const { return m_refreshTarget; }

private:
    QString storedTitle(const QString& id) const;
    QString storedParentId(const QString& id) const;
    QString bodyText() const;
    bool modifiedItemExists();
    void refreshCatalogue();
    void finishSave(const QString& message);

    EditPage m_page;
    DatabaseObjects& m_database;
    EditCatalogue& m_catalogue;
    ItemDisplay& m_display;
    StatusView& m_status;
    Prompts& m_prompts;

    EditMode m_mode = EditMode::None;
    QString m_targetId;
    int m_itemId = 0;
    int m_refreshTarget = 0;
    // The value of the refreshTarget item when the session started: when the
    // tree has changed under the session (a refresh, move or delete, another
    // knowledge base), the index names another item and the whole catalogue
    // is rebuilt instead.
    int m_refreshTargetValue = 0;
    // The body as stored and as the code edit box shows it: a body the user
    // left as it was is stored again byte for byte, and an edited one keeps
    // the line break the stored one used.
    QString m_loadedBody;
    QString m_loadedBodyShown;
    QString m_lineBreak;
};
