#pragma once

#include <QObject>
#include <QVector>

class QAction;
class QMenu;
class QMenuBar;

namespace brenvale {

class CommandActions;
class Editor;
class ImageLists;

// The menu bar, the tree and list popups, the three copies of the icon menu and the
// recent-file menu, all made of the command actions.
class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(Editor& editor, CommandActions& actions, const ImageLists& images, QMenuBar* menuBar,
              QObject* parent);

    QMenu* treePopup() const { return treePopup_; }
    QMenu* listPopup() const { return listPopup_; }
    QMenu* iconMenu() const { return iconMenus_[0]; }
    QMenu* recentMenu() const { return recentMenu_; }
    QAction* flatButtonsSwitch() const { return flatSwitch_; }
    QAction* statusBarSwitch() const { return statusBarSwitch_; }
    // Shows a switch of a part of the window (the tag panel) after the status bar's.
    void addViewSwitch(QAction* action);

    // Refills the recent-file menu from the editor.
    void rebuildRecentMenu();
    // Marks the entry of the selected Topic's icon in every icon menu.
    void markIcon();

signals:
    void flatButtonsToggled(bool flat);
    void statusBarToggled(bool shown);
    // The hint of the entry under the pointer in a popped-up menu ("" when it closes).
    void hintShown(const QString& hint);
    // An entry of the recent-file menu was chosen; its file is opened next.
    void recentFileChosen();

private:
    QMenu* makeIconMenu(QWidget* parent);
    void forwardHints(QMenu* menu);
    void addFind(QMenu* menu, bool all);
    void addSchedule(QMenu* menu);
    void addUndoRedo(QMenu* menu);

    Editor& editor_;
    CommandActions& actions_;
    const ImageLists& images_;
    QMenu* treePopup_ = nullptr;
    QMenu* listPopup_ = nullptr;
    QMenu* options_ = nullptr;
    QVector<QMenu*> iconMenus_;
    QMenu* recentMenu_ = nullptr;
    QAction* recentDelete_ = nullptr;
    QAction* flatSwitch_ = nullptr;
    QAction* statusBarSwitch_ = nullptr;
};

}  // namespace brenvale
