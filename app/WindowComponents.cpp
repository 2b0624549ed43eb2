#include "app/WindowComponents.h"

#include "app/ApplicationContext.h"
#include "app/MainWindowControls.h"
#include "app/Pictures.h"
#include "catalogue/TreeBox.h"
#include "documents/HtmlView.h"

#include <QAction>
#include <QStackedWidget>

namespace {

EditPage editPageOf(const MainWindowControls& c) {
    return {.编辑框_文档名称 = c.nameBox,
            .编辑框_隶属 = c.parentBox,
            .编辑框_关键字 = c.keyBox,
            .超级编辑框 = c.codeBox,
            .选择夹_中 = c.middleTabs,
            .选择夹_右 = c.rightPages,
            .按钮_添加 = c.addButton,
            .按钮_返回 = c.backButton};
}

MarkupControls markupControlsOf(const MainWindowControls& c) {
    return {.超级编辑框 = c.codeBox,
            .选择夹_中 = c.middleTabs,
            .按钮1 = c.underlineButton,
            .按钮2 = c.strikeOutButton,
            .按钮3 = c.boldButton,
            .按钮4 = c.italicButton,
            .按钮_图片 = c.pictureButton,
            .按钮_链接 = c.linkButton,
            .按钮_附件 = c.attachmentButton,
            .组合框1 = c.headingBox,
            .选择框_br = c.autoBreakBox,
            .颜色选择器 = c.colourPicker};
}

SearchControls searchControlsOf(const MainWindowControls& c) {
    return {.searchBox = c.searchBox,
            .titleColumn = c.searchTitles,
            .summaryColumn = c.searchKeys,
            .bodyColumn = c.searchTexts,
            .resultList = c.resultList};
}

} // namespace

WindowComponents::WindowComponents(QWidget& window, const MainWindowControls& controls,
                                   const MainWindowMenus& menus, ApplicationContext& context,
                                   Prompts& prompts, StatusView& status)
    : m_controls(controls),
      // The widget owns the model; from here on the tree box is driven
      // through it alone.
      m_treeBox(*new TreeBox(*controls.treeBox, treeBoxPictures())),
      m_linkOpener(m_urlOpener, status),
      m_documentView(context.runDirectory(), context.database().primaryRecordSet,
                     *controls.viewBrowser),
      m_catalogue(context.treeBoxHelper(), context.database(), status),
      m_catalogueHandlers(context.treeBoxHelper(), m_catalogue, context.adjustState(),
                          m_documentView),
      m_editSession(editPageOf(controls), context.database(), *this, *this, status, prompts),
      m_markupToolbar(markupControlsOf(controls), context.runDirectory(), prompts, status, *this),
      m_searchPanel(searchControlsOf(controls), context.database(), status, *this),
      m_reorganisation(menus.contextMenu, context.treeBoxHelper(), m_catalogue,
                       context.adjustState(), context.database(), status, prompts,
                       [this](EditMode mode) { m_editSession.startFromContextMenu(mode); }) {
    controls.viewBrowser->setLinkOpener(&m_linkOpener);
    controls.previewBrowser->setLinkOpener(&m_linkOpener);
    context.treeBoxHelper().bind(&window, &m_treeBox);

    QObject::connect(&m_treeBox, &TreeBox::itemExpanding, &m_treeBox,
                     [this](int index) { m_catalogueHandlers.itemExpanding(index); });
    QObject::connect(&m_treeBox, &TreeBox::itemCollapsing, &m_treeBox,
                     [this](int index) { m_catalogueHandlers.itemCollapsing(index); });
    QObject::connect(&m_treeBox, &TreeBox::selectionChanged, &m_treeBox,
                     [this] { m_catalogueHandlers.selectionChanged(); });
    m_reorganisation.attach(m_treeBox, m_catalogueHandlers);

    QObject::connect(menus.addDocument, &QAction::triggered, &m_editSession,
                     [this] { m_editSession.startFromEditMenu(EditMode::AddDocument); });
    QObject::connect(menus.addDirectory, &QAction::triggered, &m_editSession,
                     [this] { m_editSession.startFromEditMenu(EditMode::AddDirectory); });
}

void WindowComponents::knowledgeBaseOpened() {
    m_reorganisation.knowledgeBaseChanged();
    m_catalogue.indexCatalogue();
}

int WindowComponents::currentItem() const {
    return m_treeBox.currentItem();
}

QString WindowComponents::itemText(int index) const {
    return m_treeBox.itemText(index);
}

int WindowComponents::itemValue(int index) const {
    return m_treeBox.itemValue(index);
}

int WindowComponents::parentItem(int index) const {
    return m_treeBox.parentItem(index);
}

void WindowComponents::indexCatalogue() {
    m_catalogue.indexCatalogue();
}

void WindowComponents::loadChildren(int index) {
    m_catalogue.loadChildren(index);
}

void WindowComponents::showItem(const QString& id) {
    m_documentView.showItem(id);
}

bool WindowComponents::isEditing() const {
    return m_editSession.isEditing();
}

void WindowComponents::startModifySession(int id) {
    m_editSession.startFromResultList(id);
}

void WindowComponents::showPreview(const QString& html) {
    m_documentView.showHtml(*m_controls.previewBrowser, html);
}
