#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <QSet>

#include <filesystem>
#include <functional>

#include "modal_answers.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/counter_panel.h"
#include "ui/main_menus.h"
#include "ui/main_window.h"
#include "ui/toolbar.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"
#include "ui_test_registry.h"

using namespace brenvale;
using test::Answer;
using test::ChooseFile;
using test::Type;

class WindowTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsWithTheDesignedLayoutWithoutASettingsFile();
    void commandsRunFromMenusAndShortcuts();
    void renamesOnEveryKeystroke();
    void enterInTheEntryBoxAddsAfterTheSelectedRow();
    void keepsCharactersBeyondCp932AsReferences();
    void rightClicksSelect();
    void paintsTheThreeRowKinds();
    void countersShowPositionsAndOpenItems();
    void closeAsksAndWritesTheLayout();
    void aSettingsFileThatCannotBeWrittenIsReportedAtClose();
    void everyCommandIsInTheMenuBar();
    void opensEditsAndSavesThroughTheDialogs();
    void theViewsKeepTheEditorsSelection();
    void editingACaptionInPlaceGoesToTheEditBox();
    void popUpMenusShowTheirHints();
    void counterPanelsAreLoweredWithTheIconAtTheTop();
    void undoKeysUndoInTheViewsAndEditInTheBoxes();
    void theKeypadsEnterIsEnter();
    void undoAndRedoAreInTheTreeAndListMenusAndPopups();
    void aKeyFileOfTheFirstVersionLeavesTheLaterCommandsTheirKeys();
    void tickingRepaintsTheCountersAtOnce();

private:
    MainWindow& window() { return *window_; }
    Editor& editor() { return window_->editor(); }
    void make(QStringList files = {});

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void WindowTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir_->file("state")));
    make();
}

void WindowTest::make(QStringList files) {
    window_ = test::MakeWindow(*dir_, files);
}

void WindowTest::cleanup() {
    if (window_) {
        window_->editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void WindowTest::startsWithTheDesignedLayoutWithoutASettingsFile() {
    // The stored size is the outer one, frame included.
    QCOMPARE(window().frameGeometry().size(), QSize(573, 376));
    QCOMPARE(window().treeWidth(), 129);
    QVERIFY(window().statusBar()->isVisible());
    QVERIFY(MainWindowTestAccess::toolbar(window())->isFlat());
    QStringList menus;
    for (QAction* menu : window().menuBar()->actions()) {
        menus << menu->text();
    }
    QCOMPARE(menus, (QStringList{"ファイル(&F)", "ツリー(&T)", "チェックリスト(&C)",
                                 "オプション(&O)", "ヘルプ(&H)"}));
    QCOMPARE(MainWindowTestAccess::toolbar(window())->shownLayout(), Toolbar::DesignedLayout());
    // Two rows: the list commands start a new row below the tree commands.
    Toolbar* strip = MainWindowTestAccess::toolbar(window());
    int firstRow = strip->button(CommandId::Exit)->y();
    QCOMPARE(strip->button(CommandId::TreePaste)->y(), firstRow);
    int secondRow = strip->button(CommandId::ListAdd)->y();
    QVERIFY(secondRow > firstRow);
    QCOMPARE(strip->button(CommandId::About)->y(), secondRow);
    QVERIFY(strip->button(CommandId::ListAdd)->x() < strip->button(CommandId::ListDel)->x());
    QCOMPARE(window().windowTitle(), QStringLiteral("無題.bnv - Brenvale"));
}

void WindowTest::commandsRunFromMenusAndShortcuts() {
    size_t before = editor().document().topicCount();
    QMenu* treeMenu = window().menuBar()->actions()[1]->menu();
    QAction* add = nullptr;
    for (QAction* entry : treeMenu->actions()) {
        if (entry->text() == QStringLiteral("同じ階層に追加\tCtrl+Ins")) {
            add = entry;
        }
    }
    QVERIFY(add);
    add->trigger();
    QCOMPARE(editor().document().topicCount(), before + 1);
    QTest::keyClick(&window(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(editor().document().topicCount(), before + 2);
    // A disabled command ignores its shortcut.
    editor().session().setModified(false);
    QVERIFY(!window().actions().action(CommandId::Save)->isEnabled());
    QVERIFY(!MainWindowTestAccess::toolbar(window())->button(CommandId::Save)->isEnabled());
}

void WindowTest::renamesOnEveryKeystroke() {
    Topic* topic = editor().selection().topic();
    QLineEdit* edit = window().treeEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_A);
    QCOMPARE(topic->caption, std::string("a"));
    QVERIFY(editor().session().isModified());
    QTest::keyClicks(edit, "bc");
    QCOMPARE(topic->caption, std::string("abc"));
    QCOMPARE(window().tree()->model()->data(window().tree()->currentIndex()).toString(),
             QStringLiteral("abc"));
}

void WindowTest::enterInTheEntryBoxAddsAfterTheSelectedRow() {
    QLineEdit* edit = window().listEdit();
    for (const char* text : {"one", "two", "three"}) {
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    editor().selectRow(0);
    QTest::keyClicks(edit, "x");
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(editor().list().rowCount(), size_t(4));
    QCOMPARE(editor().list().rowText(1), std::string_view("x"));
    QCOMPARE(window().list()->currentIndex().row(), 1);
    QCOMPARE(edit->text(), QString());
    QTest::keyClick(edit, Qt::Key_Return);  // empty: nothing happens
    QCOMPARE(editor().list().rowCount(), size_t(4));
}

void WindowTest::keepsCharactersBeyondCp932AsReferences() {
    QLineEdit* edit = window().treeEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "caf");
    Type(edit, QStringLiteral("\u00e9"));
    QCOMPARE(edit->text(), QStringLiteral("caf\u00e9"));
    QCOMPARE(editor().selection().topic()->caption, std::string("caf&#xE9;"));
    Type(edit, QStringLiteral("〜"));
    QCOMPARE(editor().selection().topic()->caption, std::string("caf&#xE9;\x81\x60"));
}

void WindowTest::rightClicksSelect() {
    TopicTreeView* tree = window().tree();
    Topic* trash = editor().document().lastTopLevel();
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    QRect rect = tree->visualRect(model->indexOf(trash));
    QTimer::singleShot(50, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    });
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, rect.center());
    QCOMPARE(editor().selection().topic(), trash);
    QCOMPARE(window().treeEdit()->text(), QStringLiteral("ごみ箱"));

    editor().tree().selectTopic(editor().document().first());
    for (const char* text : {"a", "b"}) {
        editor().editTextChanged(EditBox::List, text);
        editor().execute(CommandId::ListAdd);
    }
    CheckListView* list = window().list();
    QRect row0 = list->visualRect(list->model()->index(0, 0));
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, row0.center());
    QCOMPARE(editor().list().selectedRow(), 0);
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, QPoint(row0.center().x(), 200));
    QCOMPARE(editor().list().selectedRow(), -1);
    // No button stays down for the tests after this one.
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, QPoint(row0.center().x(), 200));
}

void WindowTest::paintsTheThreeRowKinds() {
    for (const char* text : {"plain", "-", "-nobox"}) {
        editor().editTextChanged(EditBox::List, text);
        editor().execute(CommandId::ListAdd);
    }
    editor().selectRow(-1);
    CheckListView* list = window().list();
    list->resize(300, 100);
    QApplication::processEvents();
    QImage image = list->viewport()->grab().toImage();
    int box = CheckListDelegate::boxColumnWidth(list);
    QColor background = list->palette().color(QPalette::Base);
    auto rowTop = [&](int row) { return list->visualRect(list->model()->index(row, 0)).top(); };
    // Whether anything is drawn in columns x0 to x1 of a row.
    auto hasDark = [&](int x0, int x1, int row) {
        for (int x = x0; x < x1; ++x) {
            for (int y = rowTop(row); y < rowTop(row) + CheckListDelegate::kRowHeight; ++y) {
                QColor c(image.pixel(x, y));
                if (std::abs(c.lightness() - background.lightness()) > 60) {
                    return true;
                }
            }
        }
        return false;
    };
    // An ordinary row shows its box; a separator is a grey line over no box; a no-box row
    // shows its mark where the box would be.
    QVERIFY(hasDark(0, box, 0));
    int mid = rowTop(1) + CheckListDelegate::kRowHeight / 2;
    QCOMPARE(QColor(image.pixel(box + 10, mid)), QColor(128, 128, 128));
    QCOMPARE(QColor(image.pixel(box + 10, mid - 1)), QColor(192, 192, 192));
    QCOMPARE(QColor(image.pixel(2, mid)), background);
    QVERIFY(!hasDark(box - 4, box, 2));
    QVERIFY(hasDark(0, box - 4, 2));
}

void WindowTest::countersShowPositionsAndOpenItems() {
    QCOMPARE(editor().tree().treeCounterText(), std::string("1/2"));
    for (const char* text : {"a", "-", "b"}) {
        editor().editTextChanged(EditBox::List, text);
        editor().execute(CommandId::ListAdd);
    }
    QCOMPARE(editor().list().counterText() + editor().list().uncheckedText(),
             std::string("3/3 (2)"));
    CounterPanel* panel = MainWindowTestAccess::listCounter(window());
    QCOMPARE(panel->sizeHint().width(),
             panel->fontMetrics().horizontalAdvance(QStringLiteral("3/3 (2)")) + 30);
}

void WindowTest::closeAsksAndWritesTheLayout() {
    QString settings = QString::fromStdString(dir_->file("brenvale.ini"));
    editor().execute(CommandId::AddTree);
    QString question;
    Answer(QStringLiteral("キャンセル"), &question);
    QVERIFY(!window().close());
    QVERIFY(question.contains(QStringLiteral("変更を保存しますか？")));
    QVERIFY(!QFile::exists(settings));
    Answer(QStringLiteral("いいえ(&N)"));
    QVERIFY(window().close());
    QFile file(settings);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray text = file.readAll();
    QVERIFY(text.contains("Width=573"));
    QVERIFY(text.contains("State=1"));
    window_.reset();
}

void WindowTest::aSettingsFileThatCannotBeWrittenIsReportedAtClose() {
    // A folder where the settings file should be: every write to it fails.
    std::filesystem::create_directory(dir_->file("brenvale.ini"));
    QString text;
    Answer(QStringLiteral("キャンセル"), &text);
    QVERIFY(!window().close());
    QVERIFY(text.contains(QStringLiteral("に書き込めません")));
    Answer(QStringLiteral("OK"));
    QVERIFY(window().close());
    window_.reset();
}

void WindowTest::everyCommandIsInTheMenuBar() {
    QSet<QAction*> reachable;
    std::function<void(QMenu*)> collect = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            reachable.insert(action);
            if (action->menu()) {
                collect(action->menu());
            }
        }
    };
    for (QAction* top : window().menuBar()->actions()) {
        collect(top->menu());
    }
    for (const CommandInfo& info : CommandTable()) {
        QAction* action = window().actions().action(info.id);
        bool shown = reachable.contains(action);
        // The icon command is the holder of the icon submenu in the tree menu.
        if (info.id == CommandId::ChgIcon || info.id == CommandId::ListAddLine) {
            shown = true;
        }
        QVERIFY2(shown, info.name.data());
    }
}

void WindowTest::opensEditsAndSavesThroughTheDialogs() {
    std::string path = dir_->file("doc.bnv");
    test::WriteBytes(path, "A@00@\r\n\x08" + test::Sjis("□") + "x\r\n");
    ChooseFile(QString::fromStdString(path));
    window().actions().action(CommandId::Open)->trigger();
    QCOMPARE(editor().session().fileName(), path);
    QCOMPARE(editor().list().rowCount(), size_t(1));
    QTest::keyClicks(window().listEdit(), "y");
    QTest::keyClick(window().listEdit(), Qt::Key_Return);
    window().actions().action(CommandId::Save)->trigger();
    QVERIFY(!editor().session().isModified());
    QVERIFY(test::ReadBytes(path).find("\x08" + test::Sjis("□") + "y\r\n") != std::string::npos);

    std::string other = dir_->file("other.bnv");
    ChooseFile(QString::fromStdString(other));
    window().actions().action(CommandId::SaveName)->trigger();
    QCOMPARE(editor().session().fileName(), other);
    QCOMPARE(test::ReadBytes(other), test::ReadBytes(path));
    QCOMPARE(window().windowTitle().endsWith(QStringLiteral("other.bnv - Brenvale")), true);
}

void WindowTest::theViewsKeepTheEditorsSelection() {
    TopicTreeView* tree = window().tree();
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    Topic* first = editor().document().first();
    QModelIndex index = model->indexOf(first);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      tree->visualRect(index).center());
    QCOMPARE(editor().selection().topic(), first);
    QVERIFY(tree->selectionModel()->isSelected(index));

    for (const char* text : {"a", "b"}) {
        editor().editTextChanged(EditBox::List, text);
        editor().execute(CommandId::ListAdd);
    }
    CheckListView* list = window().list();
    QModelIndex row = list->model()->index(1, 0);
    QPoint onRow = list->visualRect(row).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, onRow);
    QCOMPARE(editor().list().selectedRow(), 1);
    QVERIFY(list->selectionModel()->isSelected(row));
    QVERIFY(window().actions().action(CommandId::ListDel)->isEnabled());
    // A click below the last row leaves the selection as it was too.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(onRow.x(), 200));
    QCOMPARE(editor().list().selectedRow(), 1);
    QVERIFY(list->selectionModel()->isSelected(row));
}

void WindowTest::editingACaptionInPlaceGoesToTheEditBox() {
    TopicTreeView* tree = window().tree();
    auto* model = static_cast<TopicTreeModel*>(tree->model());
    Topic* trash = editor().document().lastTopLevel();
    QPoint at = tree->visualRect(model->indexOf(trash)).center();
    const int doubleClick = QApplication::doubleClickInterval();
    tree->setFocus();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);  // selects it
    QCOMPARE(editor().selection().topic(), trash);
    QCOMPARE(QApplication::focusWidget(), tree);
    // A double click expands or collapses; it edits nothing.
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::qWait(doubleClick + 200);
    QCOMPARE(QApplication::focusWidget(), tree);

    // A second click on the selected Topic, once no double click follows it.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(QApplication::focusWidget(), tree);
    QTRY_COMPARE(QApplication::focusWidget(), window().treeEdit());
    QCOMPARE(window().treeEdit()->selectedText(), QStringLiteral("ごみ箱"));

    // The click that brings the focus back to the tree does not.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(QApplication::focusWidget(), tree);
    QTest::qWait(doubleClick + 200);
    QCOMPARE(QApplication::focusWidget(), tree);
}

void WindowTest::popUpMenusShowTheirHints() {
    auto hintOf = [](CommandId id) { return FromUtf8(LongHint(Command(id).hint)); };
    QMenu* tree = MainWindowTestAccess::menus(window()).treePopup();
    tree->popup(window().mapToGlobal(QPoint(50, 50)));
    tree->setActiveAction(window().actions().action(CommandId::TreeCopy));
    QCOMPARE(MainWindowTestAccess::hintPanel(window())->text(), hintOf(CommandId::TreeCopy));
    tree->close();
    QCOMPARE(MainWindowTestAccess::hintPanel(window())->text(), QString());

    QMenu* list = MainWindowTestAccess::menus(window()).listPopup();
    list->popup(window().mapToGlobal(QPoint(50, 50)));
    list->setActiveAction(window().actions().action(CommandId::ListAddLine));
    QCOMPARE(MainWindowTestAccess::hintPanel(window())->text(), hintOf(CommandId::ListAddLine));
    list->close();

    window().actions().action(CommandId::ChgIcon)->trigger();
    QMenu* icons = MainWindowTestAccess::menus(window()).iconMenu();
    QVERIFY(icons->isVisible());
    QAction* entry = icons->actions().value(2);
    icons->setActiveAction(entry);
    QVERIFY(!entry->statusTip().isEmpty());
    QCOMPARE(MainWindowTestAccess::hintPanel(window())->text(),
             FromUtf8(LongHint(ToUtf8(entry->statusTip()))));
    icons->close();
}

void WindowTest::counterPanelsAreLoweredWithTheIconAtTheTop() {
    CounterPanel* panel = MainWindowTestAccess::treeCounter(window());
    panel->resize(panel->sizeHint().width(), 20);
    QImage shown = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int w = shown.width();
    int h = shown.height();
    // A lowered bevel: dark above and to the left, light below and to the right.
    QRgb dark = panel->palette().color(QPalette::Dark).rgb();
    QRgb light = panel->palette().color(QPalette::Light).rgb();
    QCOMPARE(shown.pixel(w / 2, 0), dark);
    QCOMPARE(shown.pixel(0, h / 2), dark);
    QCOMPARE(shown.pixel(w / 2, h - 1), light);
    QCOMPARE(shown.pixel(w - 1, h / 2), light);

    // Inside the bevel P: the icon at (P.Left + 2, P.Top), the text at (P.Left + 22, P.Top + 3).
    QRect p(1, 1, w - 2, h - 2);
    QImage expected(shown.size(), QImage::Format_RGB32);
    expected.fill(QColor(181, 181, 192));
    {
        QPainter painter(&expected);
        painter.drawPixmap(p.left() + 2, p.top(),
                           MainWindowTestAccess::images(window()).topicPixmap(2));
        painter.setFont(panel->font());
        painter.setPen(Qt::black);
        painter.drawText(QRect(p.left() + 22, p.top() + 3, p.width() - 22, p.height() - 3),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         FromUtf8(editor().tree().treeCounterText()));
    }
    QCOMPARE(shown.copy(p), expected.copy(p));
}

void WindowTest::undoKeysUndoInTheViewsAndEditInTheBoxes() {
    QLineEdit* edit = window().listEdit();
    for (const char* text : {"one", "two"}) {
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QAbstractItemModel* rows = window().list()->model();
    QApplication::setActiveWindow(&window());
    window().list()->setFocus();
    QTRY_VERIFY(window().list()->hasFocus());
    QTest::keyClick(window().list(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor().list().rowCount(), size_t(1));
    QCOMPARE(rows->rowCount(), 1);
    QCOMPARE(editor().hintText(), std::string("元に戻しました: チェックリスト追加"));
    QTest::keyClick(window().list(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(rows->rowCount(), 2);
    QTest::keyClick(window().list(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window().list(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(rows->rowCount(), 2);

    // The tree: a Topic added and taken away again, the view following.
    QAbstractItemModel* topics = window().tree()->model();
    int before = topics->rowCount();
    editor().execute(CommandId::AddTree);
    QCOMPARE(topics->rowCount(), before + 1);
    window().tree()->setFocus();
    QTRY_VERIFY(window().tree()->hasFocus());
    QTest::keyClick(window().tree(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(topics->rowCount(), before);
    QCOMPARE(editor().list().rowCount(), size_t(2));

    // In the edit box the key undoes the typing, not the document.
    edit->setFocus();
    QTest::keyClicks(edit, "abc");
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(edit->text(), QString());
    QCOMPARE(topics->rowCount(), before);
    QCOMPARE(editor().list().rowCount(), size_t(2));
}

void WindowTest::theKeypadsEnterIsEnter() {
    QLineEdit* edit = window().listEdit();
    QTest::keyClicks(edit, "one");
    QTest::keyClick(edit, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(editor().list().rowCount(), size_t(1));
    editor().selectRow(0);
    QTest::keyClicks(edit, "two");
    // Shift+Enter replaces the selected Item's text (the replace command).
    QTest::keyClick(edit, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    QCOMPARE(editor().list().rowCount(), size_t(1));
    QCOMPARE(editor().list().rowText(0), std::string_view("two"));
}

void WindowTest::undoAndRedoAreInTheTreeAndListMenusAndPopups() {
    QAction* undo = window().actions().action(CommandId::Undo);
    QAction* redo = window().actions().action(CommandId::Redo);
    QMenu* tree = nullptr;
    QMenu* list = nullptr;
    for (QAction* top : window().menuBar()->actions()) {
        if (top->text() == QStringLiteral("ツリー(&T)")) {
            tree = top->menu();
        } else if (top->text() == QStringLiteral("チェックリスト(&C)")) {
            list = top->menu();
        }
    }
    QVERIFY(tree && list);
    for (QMenu* menu : {tree, list, MainWindowTestAccess::menus(window()).treePopup(),
                        MainWindowTestAccess::menus(window()).listPopup()}) {
        QList<QAction*> entries = menu->actions();
        QCOMPARE(entries.mid(entries.size() - 2), (QList<QAction*>{undo, redo}));
        QVERIFY(entries[entries.size() - 3]->isSeparator());
    }
    QCOMPARE(undo->text(), QStringLiteral("元に戻す(&U)\tCtrl+Z"));
    QCOMPARE(redo->text(), QStringLiteral("やり直し(&R)\tCtrl+Y"));
    // Greyed while there is nothing to undo; the popup's entry undoes.
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    editor().editTextChanged(EditBox::List, "one");
    editor().execute(CommandId::ListAdd);
    QVERIFY(undo->isEnabled() && !redo->isEnabled());
    MainWindowTestAccess::menus(window())
        .listPopup()
        ->actions()
        .at(MainWindowTestAccess::menus(window()).listPopup()->actions().size() - 2)
        ->trigger();
    QCOMPARE(editor().list().rowCount(), size_t(0));
    QVERIFY(!undo->isEnabled() && redo->isEnabled());
    redo->trigger();
    QCOMPARE(editor().list().rowCount(), size_t(1));
}

void WindowTest::aKeyFileOfTheFirstVersionLeavesTheLaterCommandsTheirKeys() {
    window_.reset();
    // The file a first version wrote: its 34 commands, one of them given another key.
    std::string file = "[ShortCutKey]\r\n";
    for (const CommandInfo& info : CommandTable()) {
        if (info.tag > kFirstVersionCommands) {
            break;
        }
        std::string key = info.id == CommandId::NewOpen ? "Ctrl+F12" : std::string(info.defaultKey);
        file += std::string(info.name) + "=" + (key.empty() ? "(\x82\xC8\x82\xB5)" : key) + "\r\n";
    }
    test::WriteBytes(dir_->file("brenvale.key"), file);
    make();
    CommandActions& actions = window().actions();
    QCOMPARE(actions.action(CommandId::NewOpen)->shortcut(),
             QKeySequence(QStringLiteral("Ctrl+F12")));
    QCOMPARE(actions.action(CommandId::Undo)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QCOMPARE(actions.action(CommandId::Redo)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Y")));
}

void WindowTest::tickingRepaintsTheCountersAtOnce() {
    editor().editTextChanged(EditBox::List, "only");
    editor().execute(CommandId::ListAdd);
    CounterPanel* panel = MainWindowTestAccess::listCounter(window());
    QTRY_COMPARE(panel->painted().black + panel->painted().red, QStringLiteral("1/1 (1)"));
    QApplication::setActiveWindow(&window());
    window().list()->setFocus();
    QTRY_VERIFY(window().list()->hasFocus());
    QTest::keyClick(window().list(), Qt::Key_Space);
    QVERIFY(editor().list().rowChecked(0));
    // Nothing else happens in the window: the tick itself repaints the counter.
    QTRY_COMPARE(panel->painted().red, QStringLiteral(" (0)"));
}

BRENVALE_UI_TEST(ui_window_tests, WindowTest);
#include "window_test.moc"
