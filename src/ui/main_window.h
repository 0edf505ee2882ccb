#pragma once

#include <QMainWindow>
#include <QMargins>
#include <QStringList>

#include <memory>
#include <optional>

#include "editor/editor.h"
#include "editor/window_placement.h"
#include "settings/option_table.h"
#include "settings/settings_file.h"
#include "ui/images.h"
#include "ui/window_host.h"

class QAction;
class QDialog;
class QLabel;
class QTimer;
class QLineEdit;
class QSplitter;

namespace brenvale {

class AgendaDialog;
class CheckListModel;
class CheckListView;
class CommandActions;
class CounterPanel;
class DesktopNotifications;
class DragScrollTimer;
class FileWatch;
class FindBar;
class FindResultsPanel;
class KeyFilter;
class MainMenus;
class TagPanel;
class Toolbar;
class TopicTreeModel;
class TopicTreeView;

// Where the program finds its companion files, and what it was started with.
struct StartupOptions {
    QString programPath;      // the program file, in full
    QString companionFolder;  // folder of the settings, key and user icon files
    QString settingsFile;
    QString shortcutFile;
    QStringList files;  // documents named on the command line
    // The first of them as read while the program started, if it was.
    std::shared_ptr<DocumentPreread> preread;
};

// The main window: the tree and the list under their edit boxes, the menus, the
// toolbar and the status bar. It shows the editor's state and passes the user's actions on;
// the editor decides what they do.
class MainWindow : public QMainWindow, private EditorObserver {
    Q_OBJECT
public:
    // The tag panel's width when it first shows.
    static constexpr int kTagPanelWidth = 170;

    explicit MainWindow(StartupOptions options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up steps that open a document: run once the window is shown.
    void start();

    Editor& editor() { return *editor_; }
    CommandActions& actions() { return *actions_; }
    TopicTreeView* tree() const { return tree_; }
    CheckListView* list() const { return list_; }
    QLineEdit* treeEdit() const { return treeEdit_; }
    QLineEdit* listEdit() const { return listEdit_; }
    // The find results under the tree, at their remembered height.
    void showFindResults();
    // The tag panel, made when first asked for (shown, or restored open at the start).
    TagPanel* tagPanel();
    // The tag panel if it was made; none until then.
    TagPanel* tagPanelIfMade() const { return tagPanel_; }
    DesktopNotifications* notifications() const { return notifications_; }

    QString programPath() const { return options_.programPath; }
    // The outer bounds (frame included) of the window in the normal state.
    QRect normalBounds() const;
    int treeWidth() const;
    void setTreeWidth(int width);
    void applyDocumentGeometry(const GeometryRead& geometry);
    void setViewsUpdatesEnabled(bool enabled);
    // The colours the views show (see ColoursInEffect).
    ViewColours viewColours() const;
    void setViewColour(ViewColour which, Colour colour);

    // The commands the window carries out itself (see WindowHost).
    void popUpIconMenu();
    void showOptionsDialog();
    void showShortcutKeyDialog();
    void showToolbarDialog();
    void showFindBar();
    void showAgenda();
    // The user asked for the window from outside (a notification): it comes to the front.
    void raiseForUser();
    // The find bar with the find's text, and the list of every hit under the tree.
    void showFindBarWithResults();
    // Stores a switch of the options menu in the settings file, then hands it to the editor
    // (see EditorHost::ChangeSwitch). Throws Error when the file cannot be written.
    void changeSwitch(bool Settings::*option, bool on);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Tests that look at the window's parts.
    friend struct MainWindowTestAccess;

    void buildLayout();
    void buildStatusBar();
    void connectEditBoxes();
    void connectEditBox(QLineEdit* edit, EditBox box);
    void connectDrags();
    void buildFind();
    // The list of every hit under the tree, made on first use.
    FindResultsPanel* findResultsPanel();
    // The find bar was closed: the focus goes to the view holding the hit.
    void findBarClosed();
    void placeOuter(const QRect& outer);
    void frameKnown();
    void windowStateChanged();
    void readSettings();
    void applyLayout();
    bool writeClosingSettings();
    void applyShortcutFile();
    // The toolbar from the ToolBar section of the settings file.
    void BuildToolbar();
    void loadUserIcons();
    void setStatusBarShown(bool shown);
    void refreshConflictPanel();
    // Gives the views, their edit boxes and the counters the colours in effect for the
    // desktop's palette; run at start and whenever that palette changes.
    void applyViewColours();
    int execSized(QDialog& dialog, std::string_view section);
    void startRecovery();
    void startOpenLock();

    void commandStatesChanged() override;
    void selectedTopicChanged() override;
    void countersChanged() override;
    void listExtentChanged() override;
    void titleChanged() override;
    void recentFilesChanged() override;
    void hintChanged() override;
    void tagFilterChanged() override;
    void dayChanged() override;
    void buildSchedule();

    StartupOptions options_;
    StartupSettings startup_;
    ImageLists images_;
    WindowHost host_;
    std::unique_ptr<Editor> editor_;
    TopicTreeModel* treeModel_ = nullptr;
    CheckListModel* listModel_ = nullptr;
    CommandActions* actions_ = nullptr;
    MainMenus* menus_ = nullptr;
    Toolbar* toolbar_ = nullptr;
    KeyFilter* keys_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QSplitter* treeColumn_ = nullptr;  // the tree above the find results
    int findResultsHeight_ = 0;        // as the user left it; 0 until then
    QWidget* treePanel_ = nullptr;
    TopicTreeView* tree_ = nullptr;
    CheckListView* list_ = nullptr;
    QLineEdit* treeEdit_ = nullptr;
    QLineEdit* listEdit_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* conflicts_ = nullptr;
    // Counting the marks walks the document: it waits until the edits pause.
    QTimer* conflictCount_ = nullptr;
    CounterPanel* treeCounter_ = nullptr;
    CounterPanel* listCounter_ = nullptr;
    DragScrollTimer* dragScroll_ = nullptr;
    FindBar* findBar_ = nullptr;
    FindResultsPanel* findResults_ = nullptr;  // until first shown, none
    FileWatch* fileWatch_ = nullptr;
    TagPanel* tagPanel_ = nullptr;
    // The menu's switch for the tag panel; it stands for the panel's own until that is made,
    // then follows it.
    QAction* tagSwitch_ = nullptr;
    bool tagPanelSized_ = false;
    bool painted_ = false;  // the list has been painted once
    AgendaDialog* agenda_ = nullptr;
    DesktopNotifications* notifications_ = nullptr;
    QLabel* filterLabel_ = nullptr;
    QWidget* filterClear_ = nullptr;
    ViewColours colours_;  // as the settings hold them
    // Outer bounds asked for before the window's frame was known (not shown yet, or shown
    // maximised); they are applied once it is.
    std::optional<QRect> pendingOuter_;
    QMargins frameMargins_;  // around the client area in the normal state
    bool exposed_ = false;
    bool settling_ = false;  // a maximise or restore is still arriving
    UserMoveFilter moveFilter_;
};

}  // namespace brenvale
