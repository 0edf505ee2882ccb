#include "ui/main_menus.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "editor/editor.h"
#include "editor/icon_menu.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/error_report.h"
#include "ui/images.h"

namespace brenvale {

namespace {

using C = CommandId;

const C kTreeMenu[] = {C::AddTree,  C::AddTreeChild, C::TreeRight, C::TreeLeft, C::TreeUp,
                       C::TreeDown, C::DelTree,      C::TreeCut,   C::TreeCopy, C::TreePaste};
const C kListMenu[] = {C::ListAdd,    C::ListDel,     C::ListMoveUp,      C::ListMoveDown,
                       C::ListReEdit, C::ListReplace, C::ListEditInPlace, C::ListCut,
                       C::ListCopy,   C::ListPaste};

// A menu entry with a status bar hint but no tooltip.
QAction* Switch(QMenu* menu, const QString& text, const QString& hint) {
    QAction* action = menu->addAction(text);
    action->setCheckable(true);
    action->setChecked(true);
    action->setStatusTip(hint);
    return action;
}

}  // namespace

MainMenus::MainMenus(Editor& editor, CommandActions& actions, const ImageLists& images,
                     QMenuBar* menuBar, QObject* parent)
    : QObject(parent), editor_(editor), actions_(actions), images_(images) {
    QWidget* owner = menuBar;
    QMenu* file = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    for (C id : {C::NewOpen, C::Open, C::Save, C::SaveName, C::SaveText}) {
        file->addAction(actions_.action(id));
    }
    file->addSeparator();
    file->addAction(actions_.action(C::Import));
    file->addAction(actions_.action(C::Export));
    file->addSeparator();
    file->addAction(actions_.action(C::Print));
    file->addAction(actions_.action(C::ExportPdf));
    file->addSeparator();
    file->addAction(actions_.action(C::Exit));

    // The icon menu exists three times: the toolbar's drop-down (and ChgIcon), and the
    // submenus of the tree menu and the tree popup.
    iconMenus_.push_back(makeIconMenu(owner));
    QMenu* tree = menuBar->addMenu(QStringLiteral("ツリー(&T)"));
    treePopup_ = new QMenu(owner);
    for (QMenu* menu : {tree, treePopup_}) {
        QMenu* icons = makeIconMenu(menu);
        iconMenus_.push_back(icons);
        QAction* holder = menu->addMenu(icons);
        QAction* command = actions_.action(C::ChgIcon);
        holder->setText(command->text());
        holder->setIcon(command->icon());
        holder->setStatusTip(command->statusTip());
        holder->setEnabled(command->isEnabled());
        // The holder shows the command's key; the key itself stays with the command alone.
        connect(command, &QAction::changed, holder, [holder, command] {
            holder->setEnabled(command->isEnabled());
            holder->setText(command->text());
        });
        for (C id : kTreeMenu) {
            menu->addAction(actions_.action(id));
        }
        // The popup offers the tree's own switch; the menu bar has it under the options.
        if (menu == treePopup_) {
            menu->addSeparator();
            menu->addAction(actions_.action(C::ShowProgress));
            menu->addAction(actions_.action(C::Agenda));
        }
        addFind(menu, menu == tree);
        addUndoRedo(menu);
    }

    QMenu* list = menuBar->addMenu(QStringLiteral("チェックリスト(&C)"));
    listPopup_ = new QMenu(owner);
    for (QMenu* menu : {list, listPopup_}) {
        for (C id : kListMenu) {
            menu->addAction(actions_.action(id));
        }
    }
    // The main menu shows the separator command under its longer name, with the command's
    // key as text only: two actions with one key sequence would both stay silent.
    QAction* line = actions_.action(C::ListAddLine);
    auto longText = [this] {
        return MenuText(kListAddLineMenuCaption, actions_.shortcut(C::ListAddLine));
    };
    QAction* longLine = new QAction(longText(), this);
    longLine->setIcon(line->icon());
    longLine->setStatusTip(line->statusTip());
    longLine->setEnabled(line->isEnabled());
    connect(line, &QAction::changed, longLine, [longLine, line, longText] {
        longLine->setEnabled(line->isEnabled());
        longLine->setText(longText());
    });
    connect(longLine, &QAction::triggered, line, &QAction::trigger);
    list->addAction(longLine);
    listPopup_->addAction(line);
    for (QMenu* menu : {list, listPopup_}) {
        menu->addAction(actions_.action(C::ListChkBox));
        menu->addAction(actions_.action(C::UncheckAll));
        if (menu == listPopup_) {
            menu->addAction(actions_.action(C::HideChecked));
        }
        addSchedule(menu);
        addFind(menu, menu == list);
        addUndoRedo(menu);
    }

    QMenu* options = menuBar->addMenu(QStringLiteral("オプション(&O)"));
    options_ = options;
    options->addAction(actions_.action(C::Options));
    options->addAction(actions_.action(C::KeySet));
    QMenu* toolbar = options->addMenu(QStringLiteral("ツールバー"));
    toolbar->menuAction()->setStatusTip(QStringLiteral("|ツールバーの各設定を変更します"));
    flatSwitch_ = Switch(toolbar, QStringLiteral("ボタンのフラット"),
                         QStringLiteral("|ツールボタンの境界の表示/非表示を切り替えます"));
    toolbar->addAction(actions_.action(C::ToolBtnSet));
    statusBarSwitch_ = Switch(options, QStringLiteral("ステータスバー"),
                              QStringLiteral("|ステータスバーの表示/非表示を切り替えます"));
    options->addSeparator();
    options->addAction(actions_.action(C::HideChecked));
    options->addAction(actions_.action(C::ShowProgress));
    connect(flatSwitch_, &QAction::toggled, this, &MainMenus::flatButtonsToggled);
    connect(statusBarSwitch_, &QAction::toggled, this, &MainMenus::statusBarToggled);

    QMenu* help = menuBar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->addAction(actions_.action(C::HelpContents));
    help->addAction(actions_.action(C::HelpTopic));
    help->addSeparator();
    help->addAction(actions_.action(C::About));

    recentMenu_ = new QMenu(owner);
    rebuildRecentMenu();

    // The menu bar's menus pass their hints to the window themselves; these pop up on their
    // own (the icon menu also from ChgIcon, the recent files from the toolbar).
    for (QMenu* menu : {treePopup_, listPopup_, iconMenus_[0], iconMenus_[2], recentMenu_}) {
        forwardHints(menu);
    }
}

void MainMenus::addViewSwitch(QAction* action) {
    options_->insertAction(statusBarSwitch_, action);
}

// Dates and tags belong to the list's Items; the agenda is reached from there too.
void MainMenus::addSchedule(QMenu* menu) {
    menu->addSeparator();
    for (C id : {C::SortByDue, C::TagAdd, C::TagRemove, C::TagRename}) {
        menu->addAction(actions_.action(id));
    }
    menu->addSeparator();
    menu->addAction(actions_.action(C::Agenda));
}

// Finding searches the tree and the list alike: both menus offer it, the popups its first
// command.
void MainMenus::addFind(QMenu* menu, bool all) {
    menu->addSeparator();
    menu->addAction(actions_.action(C::Find));
    if (all) {
        menu->addAction(actions_.action(C::FindNext));
        menu->addAction(actions_.action(C::FindPrevious));
    }
    menu->addAction(actions_.action(C::ShowConflicts));
}

// Undo and redo act on the tree and the list alike: both menus and popups end with them.
void MainMenus::addUndoRedo(QMenu* menu) {
    menu->addSeparator();
    menu->addAction(actions_.action(C::Undo));
    menu->addAction(actions_.action(C::Redo));
}

void MainMenus::forwardHints(QMenu* menu) {
    connect(menu, &QMenu::hovered, this,
            [this](QAction* action) { emit hintShown(action->statusTip()); });
    connect(menu, &QMenu::aboutToHide, this, [this] { emit hintShown(QString()); });
}

QMenu* MainMenus::makeIconMenu(QWidget* parent) {
    auto* menu = new QMenu(parent);
    auto* group = new QActionGroup(menu);
    for (const IconMenuEntry& entry : IconMenuEntries(editor_.userIconCount())) {
        QAction* action = menu->addAction(images_.barIcon(entry.barImage), FromUtf8(entry.caption));
        action->setCheckable(true);
        action->setStatusTip(FromUtf8(entry.hint));
        group->addAction(action);
        int tag = entry.tag;
        connect(action, &QAction::triggered, this,
                Guarded([this, tag] { editor_.tree().iconMenuClick(tag); }));
    }
    menu->actions().value(0)->setChecked(true);
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        // Only the toolbar's menu refreshes the marks, for all three copies.
        if (menu == iconMenus_.value(0)) {
            markIcon();
        }
    });
    return menu;
}

void MainMenus::markIcon() {
    if (!editor_.selection().topic()) {
        return;
    }
    int checked = CheckedIconEntryFor(editor_.selection().topic(), editor_.userIconCount());
    for (QMenu* menu : iconMenus_) {
        QList<QAction*> entries = menu->actions();
        for (qsizetype i = 0; i < entries.size(); ++i) {
            entries[i]->setChecked(i == checked);
        }
    }
}

void MainMenus::rebuildRecentMenu() {
    recentMenu_->clear();
    const RecentFiles& recent = editor_.session().recentFiles();
    for (size_t i = 0; i < recent.size(); ++i) {
        QAction* entry = recentMenu_->addAction(FromUtf8(recent.caption(i)));
        connect(entry, &QAction::triggered, this, Guarded([this, i] {
                    emit recentFileChosen();
                    editor_.files().fileRecentClick(i);
                }));
    }
    recentMenu_->addSeparator();
    recentDelete_ = recentMenu_->addAction(QStringLiteral("履歴の削除..."));
    recentDelete_->setStatusTip(QStringLiteral("履歴の削除|ファイルの履歴を削除します"));
    recentDelete_->setEnabled(recent.size() > 0);
    connect(recentDelete_, &QAction::triggered, this,
            Guarded([this] { editor_.files().fileRecentDelClick(); }));
}

}  // namespace brenvale
