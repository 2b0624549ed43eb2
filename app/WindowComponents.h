#pragma once

#include "catalogue/CatalogueHandlers.h"
#include "catalogue/CatalogueTree.h"
#include "catalogue/Reorganisation.h"
#include "documents/DocumentView.h"
#include "documents/EditSession.h"
#include "documents/LinkOpener.h"
#include "documents/MarkupToolbar.h"
#include "documents/UrlOpener.h"
#include "search/SearchPanel.h"

class ApplicationContext;
class Prompts;
class QWidget;
class TreeBox;
struct MainWindowControls;
struct MainWindowMenus;

// The subsystems' components bound to the main window's controls: the
// document view, the catalogue tree with its handlers and reorganisation,
// the edit session with its markup toolbar, and the search panel. It also
// carries the small adapters through which they reach each other, so that no
// subsystem depends on the window.
class WindowComponents : private EditCatalogue,
                         private ItemDisplay,
                         private PreviewDisplay,
                         private SearchResultActions {
public:
    WindowComponents(QWidget& window, const MainWindowControls& controls,
                     const MainWindowMenus& menus, ApplicationContext& context, Prompts& prompts,
                     StatusView& status);
    WindowComponents(const WindowComponents&) = delete;
    WindowComponents& operator=(const WindowComponents&) = delete;

    DocumentView& documentView() { return m_documentView; }
    EditSession& editSession() { return m_editSession; }

    // A knowledge base has been opened or created: the adjust mode ends and
    // the catalogue is indexed from the top level.
    void knowledgeBaseOpened();

private:
    // EditCatalogue: the tree box and the catalogue tree, for the session.
    int currentItem() const override;
    QString itemText(int index) const override;
    int itemValue(int index) const override;
    int parentItem(int index) const override;
    void indexCatalogue() override;
    void loadChildren(int index) override;
    // ItemDisplay and SearchResultActions: the view page and the session.
    void showItem(const QString& id) override;
    bool isEditing() const override;
    void startModifySession(int id) override;
    // PreviewDisplay: the edit page's preview.
    void showPreview(const QString& html) override;

    const MainWindowControls& m_controls;
    TreeBox& m_treeBox;
    DesktopUrlOpener m_urlOpener;
    LinkOpener m_linkOpener;
    DocumentView m_documentView;
    CatalogueTree m_catalogue;
    CatalogueHandlers m_catalogueHandlers;
    EditSession m_editSession;
    MarkupToolbar m_markupToolbar;
    SearchPanel m_searchPanel;
    Reorganisation m_reorganisation;
};
