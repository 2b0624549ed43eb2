#pragma once

#include "app/MainWindowControls.h"
#include "store/KnowledgeBase.h"

#include <QMainWindow>
#include <memory>

class ApplicationContext;
class Prompts;
class WindowComponents;

// The one visible window: it creates the controls at their design places,
// re-places them on every change of size and hands each event to one
// handler. It is also the view that the store and the other subsystems
// report to (status bar, knowledge base name, catalogue).
class MainWindow : public QMainWindow, public KnowledgeBaseView {
    Q_OBJECT
public:
    MainWindow(ApplicationContext& context, Prompts& prompts);
    ~MainWindow() override;

    const MainWindowControls& controls() const { return m_controls; }
    const MainWindowMenus& menus() const { return m_menus; }

    // The edit page (page 1 of 选择夹_右) is shown.
    bool isEditing() const;
    // The window's area below the menu bar, status bar included.
    QSize clientArea() const;

    void showStatus(const QString& text) override;
    void setBusy(bool busy) override;
    void showKnowledgeBaseName(const QString& fileName) override;
    void indexCatalogue() override;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createControls();
    void createStatusBar();
    void setTabOrder();
    void connectMenus();

    void onCreated();
    void onFirstActivation();
    void onOpenKnowledgeBase();
    void onNewKnowledgeBase();
    void onStaysOnTop(bool checked);
    void onAboutProgram();
    void onAboutMaker();

    ApplicationContext& m_context;
    Prompts& m_prompts;
    MainWindowControls m_controls;
    MainWindowMenus m_menus;
    std::unique_ptr<WindowComponents> m_components;
    bool m_activated = false;
};
