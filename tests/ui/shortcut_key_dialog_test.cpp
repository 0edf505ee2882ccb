#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QStyleOptionMenuItem>
#include <QToolButton>
#include <QTreeView>

#include <filesystem>

#include "editor/command_table.h"
#include "support/main_window_test_access.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/main_menus.h"
#include "ui/shortcut_key_dialog.h"
#include "ui/toolbar.h"
#include "ui_test_registry.h"
#include "ui_test_support.h"

using namespace brenvale;
using brenvale::test::Answer;
using brenvale::test::ButtonNamed;
using brenvale::test::ChooseFile;

namespace {

// Shows a menu entry's text the way a menu draws it.
class MenuProbe : public QMenu {
public:
    QString shownText(QAction* action) {
        addAction(action);
        QStyleOptionMenuItem option;
        initStyleOption(&option, action);
        removeAction(action);
        return option.text;
    }
};

size_t Pos(CommandId id) {
    return static_cast<size_t>(id);
}

void ClickKey(ShortcutKeyDialog& dialog, const QString& key) {
    QListWidget* list = dialog.keyList();
    QList<QListWidgetItem*> found = list->findItems(key, Qt::MatchExactly);
    QVERIFY(!found.isEmpty());
    list->scrollToItem(found.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(found.first()).center());
}

QString KeyText(ShortcutKeyDialog& dialog, CommandId id) {
    return FromUtf8(dialog.keys().keyText(*dialog.keys().rowOf(Pos(id))));
}

// The entries of every menu of the menu bar, submenus included.
QList<QAction*> MenuBarEntries(MainWindow& window) {
    QList<QAction*> entries;
    std::function<void(QMenu*)> collect = [&](QMenu* menu) {
        for (QAction* action : menu->actions()) {
            entries << action;
            if (action->menu()) {
                collect(action->menu());
            }
        }
    };
    for (QAction* top : window.menuBar()->actions()) {
        collect(top->menu());
    }
    return entries;
}

}  // namespace

class KeyTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ctrlKOpensTheDialogAndOkAppliesAndWritesTheKeys();
    void cancelChangesNothing();
    void okWarnsAboutDuplicatesAndReservedKeys();
    void exportsAndImportsKeyFiles();
    void selectingARowKeepsAKeyTheListDoesNotOffer();
    void aKeyFileThatCannotBeWrittenKeepsTheDialogOpen();
    void everyShortcutWorksWhateverTheToolbarShows();
    void noTwoActionsShareAKeySequence();
    void menusShowTheProgramsOwnShortcutTexts();

private:
    MainWindow& window() { return folder_->window(); }
    // Opens the dialog with Ctrl+K and runs body in it.
    bool withDialog(std::function<void(ShortcutKeyDialog&)> body);
    QString keyFile() { return QString::fromStdString(folder_->shortcutFile()); }

    std::unique_ptr<test::WindowInFolder> folder_;
};

void KeyTest::init() {
    folder_ = std::make_unique<test::WindowInFolder>();
    folder_->open();
}

void KeyTest::cleanup() {
    folder_.reset();
}

bool KeyTest::withDialog(std::function<void(ShortcutKeyDialog&)> body) {
    return test::WithDialog<ShortcutKeyDialog>(&window(), Qt::Key_K, Qt::ControlModifier, body);
}

void KeyTest::ctrlKOpensTheDialogAndOkAppliesAndWritesTheKeys() {
    size_t topics = window().editor().document().topicCount();
    bool closed = withDialog([&](ShortcutKeyDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ショートカットキー設定"));
        QCOMPARE(dialog.minimumSize(), QSize(514, 317));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog.windowIcon().isNull());
        QTreeView* view = dialog.keyView();
        QAbstractItemModelTester tester(view->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(view->model()->rowCount(), kCommandCount);
        // At least as designed, wide enough for the longest caption, shown without its
        // access key.
        QVERIFY(view->header()->sectionSize(1) >= 132);
        QCOMPARE(view->model()->index(2, 1).data().toString(), QStringLiteral("開く..."));
        QVERIFY(dialog.width() >= 514);
        QCOMPARE(view->model()->index(8, 2).data().toString(), QStringLiteral("Shift+Ctrl+Ins"));
        // The first row is selected and the controls show its key, Alt+F4.
        QCOMPARE(dialog.selectedRow(), std::optional<size_t>(0));
        QCOMPARE(dialog.keyList()->currentItem()->text(), QStringLiteral("F4"));
        QVERIFY(dialog.altBox()->isChecked() && !dialog.ctrlBox()->isChecked());

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(7, 1)).center());
        QVERIFY(dialog.ctrlBox()->isChecked());  // AddTree's Ctrl+Ins
        ClickKey(dialog, "A");
        QTest::mouseClick(dialog.ctrlBox(), Qt::LeftButton);
        QCOMPARE(KeyText(dialog, CommandId::AddTree), QStringLiteral("(なし)"));
        QTest::mouseClick(dialog.shiftBox(), Qt::LeftButton);
        QTest::mouseClick(dialog.altBox(), Qt::LeftButton);
        QCOMPARE(KeyText(dialog, CommandId::AddTree), QStringLiteral("Shift+Alt+A"));
        dialog.selectRow(Pos(CommandId::NewOpen));
        ClickKey(dialog, "(なし)");
        // Sorting keeps the selection with its command, and OK still gives each its key.
        QHeaderView* header = dialog.keyView()->header();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(2) + 10, header->height() / 2));
        QCOMPARE(dialog.keys().sortState(), 3);
        QCOMPARE(dialog.keys().commandAt(*dialog.selectedRow()), Pos(CommandId::NewOpen));
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    QVERIFY(closed);

    std::string bytes = test::ReadBytes(folder_->shortcutFile());
    QVERIFY(bytes.rfind("[ShortCutKey]\r\nPGMExit=Alt+F4\r\nNewOpen=(\x82\xC8\x82\xB5)\r\n", 0) ==
            0);
    QVERIFY(bytes.find("\r\nAddTree=Shift+Alt+A\r\nAddTreeChild=") != std::string::npos);
    QCOMPARE(std::count(bytes.begin(), bytes.end(), '\n'), kCommandCount + 1);
    CommandActions& actions = window().actions();
    QVERIFY(actions.action(CommandId::NewOpen)->shortcut().isEmpty());
    QCOMPARE(actions.action(CommandId::AddTree)->text(),
             QStringLiteral("同じ階層に追加\tShift+Alt+A"));
    QTest::keyClick(&window(), Qt::Key_A, Qt::ShiftModifier | Qt::AltModifier);
    QCOMPARE(window().editor().document().topicCount(), topics + 1);
    QTest::keyClick(&window(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(window().editor().document().topicCount(), topics + 1);

    // The next start reads the keys again.
    folder_->open();
    QCOMPARE(window().actions().action(CommandId::AddTree)->shortcut(),
             QKeySequence(Qt::SHIFT | Qt::ALT | Qt::Key_A));
    QVERIFY(window().actions().action(CommandId::NewOpen)->shortcut().isEmpty());
}

void KeyTest::cancelChangesNothing() {
    withDialog([&](ShortcutKeyDialog& dialog) {
        dialog.selectRow(Pos(CommandId::AddTree));
        ClickKey(dialog, "F9");
        QCOMPARE(KeyText(dialog, CommandId::AddTree), QStringLiteral("Ctrl+F9"));
        ButtonNamed(&dialog, QStringLiteral("キャンセル"))->click();
    });
    QVERIFY(!QFile::exists(keyFile()));
    QCOMPARE(window().actions().shortcut(CommandId::AddTree), ParseShortcut("Ctrl+Ins"));
}

void KeyTest::okWarnsAboutDuplicatesAndReservedKeys() {
    size_t topics = window().editor().document().topicCount();
    QString text;
    bool closed = withDialog([&](ShortcutKeyDialog& dialog) {
        dialog.selectRow(Pos(CommandId::AddTree));
        ClickKey(dialog, "K");
        Answer(QStringLiteral("キャンセル"), &text);
        dialog.okButton()->click();
        QCOMPARE(text, QStringLiteral("ショートカットキー（Ctrl+K）が重複しています。\n片方のコマン"
                                      "ドは実行されない場合があります。\nよろしいですか？"));
        // Cancel keeps the dialog open at the later of the two rows.
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.selectedRow(), std::optional<size_t>(Pos(CommandId::KeySet)));

        dialog.selectRow(Pos(CommandId::TreeCopy));
        ClickKey(dialog, "C");
        QTest::mouseClick(dialog.ctrlBox(), Qt::LeftButton);
        QStringList texts;
        test::AnswerEach({"OK", "OK"}, &texts);
        dialog.okButton()->click();
        QCOMPARE(texts,
                 (QStringList{"ショートカットキー（Ctrl+C）はプログラムによって予約/使用されていま"
                              "す。\nコマンドが実行されない、又は正しくプログラムが実行できない場"
                              "合があります。よろしいですか？",
                              text}));
    });
    QVERIFY(closed);
    // Both keys are applied; the shared one goes to the first command in table order.
    CommandActions& actions = window().actions();
    QCOMPARE(actions.shortcut(CommandId::TreeCopy), ParseShortcut("Ctrl+C"));
    QCOMPARE(actions.shortcut(CommandId::KeySet), ParseShortcut("Ctrl+K"));
    QTest::keyClick(&window(), Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(window().editor().document().topicCount(), topics + 1);
    QVERIFY(!QApplication::activeModalWidget());
}

void KeyTest::exportsAndImportsKeyFiles() {
    const QString exported = QString::fromStdString(folder_->file("mine.key"));
    const QString partial = QString::fromStdString(folder_->file("part.key"));
    test::WriteBytes(partial.toStdString(), "[ShortCutKey]\r\nAddTree=Ctrl+F7\r\n");
    bool closed = withDialog([&](ShortcutKeyDialog& dialog) {
        dialog.selectRow(Pos(CommandId::DelTree));
        ClickKey(dialog, "F6");
        QString title;
        ChooseFile(exported, &title);
        ButtonNamed(&dialog, QStringLiteral("保存(&S)..."))->click();
        QCOMPARE(title, QStringLiteral("ショートカットキーファイルに名前を付けて保存する"));
        std::string written = test::ReadBytes(exported.toStdString());
        QVERIFY(written.find("\r\nDelTree=F6\r\n") != std::string::npos);
        // Writing over it asks first; Cancel writes nothing.
        ClickKey(dialog, "F5");
        QString question;
        Answer(QStringLiteral("キャンセル"), &question);
        dialog.exportFile(exported);
        QCOMPARE(question,
                 QStringLiteral("mine.key\nこのファイルは既に存在します。\n\n上書きしますか？"));
        QCOMPARE(test::ReadBytes(exported.toStdString()), written);

        ChooseFile(partial, &title);
        ButtonNamed(&dialog, QStringLiteral("読込み(&O)..."))->click();
        QCOMPARE(title, QStringLiteral("ショートカットキーファイルを開く"));
        QCOMPARE(dialog.keyView()->model()->index(7, 2).data().toString(),
                 QStringLiteral("Ctrl+F7"));
        QCOMPARE(KeyText(dialog, CommandId::DelTree), QStringLiteral("(なし)"));

        const QString missing = QString::fromStdString(folder_->file("none.key"));
        QString message;
        Answer(QStringLiteral("OK"), &message);
        dialog.importFile(missing);
        QCOMPARE(message, "ファイル " + missing + "が見つかりません。");
        QCOMPARE(KeyText(dialog, CommandId::AddTree), QStringLiteral("Ctrl+F7"));
        dialog.importFile(exported);
        dialog.okButton()->click();
    });
    QVERIFY(closed);
    QCOMPARE(window().actions().shortcut(CommandId::DelTree), ParseShortcut("F6"));
}

void KeyTest::selectingARowKeepsAKeyTheListDoesNotOffer() {
    test::WriteBytes(folder_->shortcutFile(), "[ShortCutKey]\r\nAddTree=Ctrl+PgUp\r\n");
    folder_->open();
    bool closed = withDialog([&](ShortcutKeyDialog& dialog) {
        dialog.selectRow(Pos(CommandId::AddTree));
        dialog.selectRow(Pos(CommandId::ListMoveUp));
        dialog.selectRow(Pos(CommandId::AddTree));
        QCOMPARE(KeyText(dialog, CommandId::AddTree), QStringLiteral("Ctrl+PgUp"));
        QCOMPARE(KeyText(dialog, CommandId::ListMoveUp), QStringLiteral("Shift+Up"));
        QVERIFY(dialog.ctrlBox()->isChecked() && !dialog.shiftBox()->isChecked());
        dialog.okButton()->click();
    });
    QVERIFY(closed);
    QCOMPARE(window().actions().action(CommandId::AddTree)->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_PageUp));
}

void KeyTest::aKeyFileThatCannotBeWrittenKeepsTheDialogOpen() {
    std::filesystem::create_directory(folder_->shortcutFile());
    bool closed = withDialog([&](ShortcutKeyDialog& dialog) {
        QString text;
        Answer(QStringLiteral("OK"), &text);
        dialog.okButton()->click();
        QVERIFY(text.contains(QStringLiteral("に書き込めません")));
        QVERIFY(dialog.isVisible());
    });
    QVERIFY(!closed);
}

void KeyTest::everyShortcutWorksWhateverTheToolbarShows() {
    test::WriteBytes(folder_->settingsFile(), "[ToolBar]\r\n00=PGMExit\r\n");
    test::WriteBytes(folder_->shortcutFile(), "[ShortCutKey]\r\nListAddLine=Ctrl+L\r\n");
    MainWindow& w = folder_->open();
    QVERIFY(!MainWindowTestAccess::toolbar(w)->button(CommandId::ChgIcon)->isVisible());
    QVERIFY(!MainWindowTestAccess::toolbar(w)->button(CommandId::ListAddLine)->isVisible());

    QTimer::singleShot(100, [] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
        }
    });
    QWidget* shown = nullptr;
    QTimer::singleShot(50, [&] { shown = QApplication::activePopupWidget(); });
    QTest::keyClick(&w, Qt::Key_I, Qt::ControlModifier);
    QTest::qWait(150);
    QCOMPARE(shown, static_cast<QWidget*>(MainWindowTestAccess::menus(w).iconMenu()));

    size_t rows = w.editor().list().rowCount();
    QTest::keyClick(&w, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(w.editor().list().rowCount(), rows + 1);

    QStringList texts;
    for (QAction* entry : MenuBarEntries(w)) {
        texts << entry->text();
    }
    QVERIFY(texts.contains(QStringLiteral("アイコン変更...\tCtrl+I")));
    QVERIFY(texts.contains(QStringLiteral("チェックリスト区切り追加\tCtrl+L")));
}

void KeyTest::noTwoActionsShareAKeySequence() {
    // Two commands given one key: the first in table order takes it.
    test::WriteBytes(folder_->shortcutFile(),
                     "[ShortCutKey]\r\nAddTree=Ctrl+K\r\nListAddLine=F9\r\n");
    MainWindow& w = folder_->open();
    QMultiHash<QKeySequence, QAction*> byKeys;
    for (QAction* action : w.findChildren<QAction*>()) {
        if (!action->shortcut().isEmpty()) {
            byKeys.insert(action->shortcut(), action);
        }
    }
    for (const QKeySequence& keys : byKeys.uniqueKeys()) {
        QVERIFY2(byKeys.count(keys) == 1, qPrintable(keys.toString()));
    }
    QVERIFY(byKeys.contains(QKeySequence(Qt::Key_F9)));
    QCOMPARE(w.actions().action(CommandId::KeySet)->text(),
             QStringLiteral("ショートカットキー設定...\tCtrl+K"));
    size_t topics = w.editor().document().topicCount();
    QTest::keyClick(&w, Qt::Key_K, Qt::ControlModifier);
    QCOMPARE(w.editor().document().topicCount(), topics + 1);
    QVERIFY(!QApplication::activeModalWidget());
    size_t rows = w.editor().list().rowCount();
    QTest::keyClick(&w, Qt::Key_F9);
    QCOMPARE(w.editor().list().rowCount(), rows + 1);
}

void KeyTest::menusShowTheProgramsOwnShortcutTexts() {
    MenuProbe probe;
    CommandActions& actions = window().actions();
    QCOMPARE(probe.shownText(actions.action(CommandId::AddTreeChild)),
             QStringLiteral("下の階層に追加\tShift+Ctrl+Ins"));
    QCOMPARE(probe.shownText(actions.action(CommandId::ListReEdit)),
             QStringLiteral("チェックリスト再編集\tShift+BkSp"));
    QCOMPARE(probe.shownText(actions.action(CommandId::ListReplace)),
             QStringLiteral("チェックリスト置換え\tShift+Enter"));
    QCOMPARE(probe.shownText(actions.action(CommandId::SaveName)),
             QStringLiteral("名前を付けて保存...\tCtrl+Alt+S"));
    QCOMPARE(probe.shownText(actions.action(CommandId::DelTree)), QStringLiteral("ツリー削除"));
    for (QAction* entry : MenuBarEntries(window())) {
        QString shown = probe.shownText(entry);
        QVERIFY2(!shown.contains("Ctrl+Shift") && !shown.contains("Backspace") &&
                     !shown.contains("Return") && !shown.contains("Insert"),
                 qPrintable(shown));
    }
}

BRENVALE_UI_TEST(ui_shortcut_key_dialog_tests, KeyTest);
#include "shortcut_key_dialog_test.moc"
