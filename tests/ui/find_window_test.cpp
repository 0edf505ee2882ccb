// The find bar, the list of every hit, and the two switches of the options menu, in the real
// window.
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QToolButton>

#include <filesystem>

#include "common/cp932.h"
#include "editor_place.h"
#include "modal_answers.h"
#include "settings/ini_file.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "support/test_ini_file.h"
#include "test_window.h"
#include "ui/check_list_view.h"
#include "ui/command_actions.h"
#include "ui/counter_panel.h"
#include "ui/find_bar.h"
#include "ui/find_results.h"
#include "ui/topic_row_delegate.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
using test::WindowFixture;

namespace {

// Two Topics whose Items hold "報告" twice, and a third Topic named after it.
const char* const kOutline = "仕事\n\b□報告書\n\b■会議の準備\n\b□資料\n予定\n\b□報告会\n報告の控え";

QString Utf8(const std::string& cp932) {
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

// The list's rows as they show, "*" after a checked one.
QStringList ListRows(Editor& editor) {
    QStringList rows;
    for (size_t r = 0; r < editor.list().rowCount(); ++r) {
        rows << Utf8(std::string(editor.list().rowText(r))) +
                    (editor.list().rowChecked(r) ? "*" : "");
    }
    return rows;
}

}  // namespace

class FindWindowTest : public QObject {
    Q_OBJECT
private slots:
    void ctrlFTypingEnterShiftF3AndEscape();
    void nothingFoundTurnsTheBoxRed();
    void aHitDeepInABigDocumentIsShownAndMarked();
    void theListOfEveryHitGoesThereAndFollowsEdits();
    void theListOfEveryHitIsMadeUnderTheTreeWhenFirstAskedFor();
    void hidingCheckedItemsShowsInTheListAndItsCounter();
    void theProgressIsInTheTreesDisplayText();
    void aSwitchThatCannotBeStoredStaysAsItWas();
};

void FindWindowTest::ctrlFTypingEnterShiftF3AndEscape() {
    WindowFixture f(kOutline);
    MainWindow& w = f.window();
    Editor& editor = f.editor();
    FindBar* bar = MainWindowTestAccess::findBar(w);
    QVERIFY(!bar->isVisible());
    QTest::keyClick(w.list(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QTRY_VERIFY(bar->box()->hasFocus());
    // A screen reader names the box.
    QCOMPARE(bar->box()->accessibleName(), QStringLiteral("検索"));

    test::Type(bar->box(), QStringLiteral("報告"));
    QCOMPARE(test::Here(editor), QStringLiteral("仕事/0"));
    QTRY_COMPARE(bar->counter()->text(), QStringLiteral("3 件中 1 件目"));
    QTest::keyClick(bar->box(), Qt::Key_Return);
    QCOMPARE(test::Here(editor), QStringLiteral("予定/0"));
    QCOMPARE(bar->counter()->text(), QStringLiteral("3 件中 2 件目"));
    QTest::keyClick(bar->box(), Qt::Key_Return);
    QCOMPARE(test::Here(editor), QStringLiteral("報告の控え"));
    // Shift+Enter is the replace command's key elsewhere; here it goes back, changing nothing.
    QTest::keyClick(bar->box(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(test::Here(editor), QStringLiteral("予定/0"));
    QCOMPARE(Utf8(std::string(editor.list().rowText(0))), QStringLiteral("報告会"));
    QTest::keyClick(bar->box(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(test::Here(editor), QStringLiteral("仕事/0"));
    QCOMPARE(bar->counter()->text(), QStringLiteral("3 件中 1 件目"));
    QTest::keyClick(bar->box(), Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(test::Here(editor), QStringLiteral("報告の控え"));
    QCOMPARE(MainWindowTestAccess::hintPanel(w)->text(),
             QStringLiteral("文書の先頭まで検索しました。最後から続けて検索しました。"));

    // Esc: the focus goes to the view holding the hit, the tree for a caption.
    QTest::keyClick(bar->box(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QTRY_VERIFY(w.tree()->hasFocus());
    // F3 from the list goes on; Ctrl+F comes back with the text selected.
    QTest::keyClick(w.tree(), Qt::Key_F3);
    QCOMPARE(test::Here(editor), QStringLiteral("仕事/0"));
    QTest::keyClick(w.list(), Qt::Key_F, Qt::ControlModifier);
    QTRY_VERIFY(bar->box()->hasFocus());
    QCOMPARE(bar->box()->selectedText(), QStringLiteral("報告"));
    QTest::keyClick(bar->box(), Qt::Key_Escape);
    QTRY_VERIFY(w.list()->hasFocus());
}

void FindWindowTest::nothingFoundTurnsTheBoxRed() {
    WindowFixture f("買い物\n\b□ＰＣの修理\n\b□ガス代");
    FindBar* bar = MainWindowTestAccess::findBar(f.window());
    f.window().actions().action(CommandId::Find)->trigger();
    QColor normal = bar->box()->palette().color(QPalette::Base);
    test::Type(bar->box(), QStringLiteral("旅行"));
    QVERIFY(bar->showsNotFound());
    QCOMPARE(bar->counter()->text(), QStringLiteral("見つかりません"));
    QCOMPARE(bar->box()->palette().color(QPalette::Base), QColor(255, 204, 204));
    // An emoji the document does not hold is found nowhere either.
    bar->box()->setText(QStringLiteral("😀"));
    QVERIFY(bar->showsNotFound());
    // Half-width, lower-case "pc" finds "ＰＣ"; "ｶﾞｽ" finds "ガス".
    bar->box()->setText(QStringLiteral("pc"));
    QVERIFY(!bar->showsNotFound());
    QCOMPARE(bar->box()->palette().color(QPalette::Base), normal);
    QCOMPARE(test::Here(f.editor()), QStringLiteral("買い物/0"));
    bar->box()->setText(QStringLiteral("ｶﾞｽ"));
    QCOMPARE(test::Here(f.editor()), QStringLiteral("買い物/1"));
    // Hiragana finds katakana only with the option.
    bar->box()->setText(QStringLiteral("がす"));
    QVERIFY(bar->showsNotFound());
    bar->kanaOption()->setChecked(true);
    QVERIFY(!bar->showsNotFound());
    QCOMPARE(test::Here(f.editor()), QStringLiteral("買い物/1"));

    // On a dark desktop the box turns dark red under its light text, and goes back to the
    // desktop's colours once something is found.
    QPalette light = QApplication::palette();
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2A, 0x2A, 0x2E));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x22));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    bar->box()->setText(QStringLiteral("旅行"));
    QApplication::setPalette(dark);
    QVERIFY(bar->showsNotFound());
    QTRY_VERIFY(bar->box()->palette().color(QPalette::Base).lightness() < 100);
    QPalette shown = bar->box()->palette();
    QVERIFY(shown.color(QPalette::Base).red() > shown.color(QPalette::Base).green() + 40);
    QCOMPARE(shown.color(QPalette::Text), QColor(0xEE, 0xEE, 0xEE));
    bar->box()->setText(QStringLiteral("ガス"));
    QCOMPARE(bar->box()->palette().color(QPalette::Base), QColor(0x1E, 0x1E, 0x22));
    QApplication::setPalette(light);
    QTRY_COMPARE(bar->box()->palette().color(QPalette::Base), normal);
}

void FindWindowTest::aHitDeepInABigDocumentIsShownAndMarked() {
    // 3,000 groups of one Topic with 40 Items; the word is in the last Topic's 31st Item,
    // its group folded, and in the caption of the 6th group.
    constexpr int kGroups = 3000;
    constexpr int kHitRow = 30;
    std::string outline;
    for (int g = 0; g < kGroups; ++g) {
        std::string n = std::to_string(g);
        outline += (g == 5 ? "北海道の分類" : "分類") + n + "\n\t作業" + n + "\n";
        for (int i = 0; i < 40; ++i) {
            bool hit = g == kGroups - 1 && i == kHitRow;
            outline += "\t\b□" + std::string(hit ? "札幌と北海道の地図" : "手順") +
                       std::to_string(i) + "\n";
        }
    }
    outline.pop_back();
    WindowFixture f(outline);
    MainWindow& w = f.window();
    Editor& editor = f.editor();
    auto* model = static_cast<TopicTreeModel*>(w.tree()->model());
    Topic* lastGroup = test::Find(editor, test::Sjis("分類" + std::to_string(kGroups - 1)));
    Topic* target = test::Find(editor, test::Sjis("作業" + std::to_string(kGroups - 1)));
    Topic* sixth = test::Find(editor, test::Sjis("北海道の分類5"));
    editor.tree().setTopicExpanded(lastGroup, false);
    editor.tree().setTopicExpanded(sixth, false);
    editor.tree().selectTopic(test::Find(editor, test::Sjis("分類10")));

    QTest::keyClick(w.tree(), Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = MainWindowTestAccess::findBar(w);
    QTRY_VERIFY(bar->box()->hasFocus());
    test::Type(bar->box(), QStringLiteral("北海道"));
    // The Topic is selected under its unfolded group, and in view; so is the row.
    QCOMPARE(editor.selection().topic(), target);
    QVERIFY(lastGroup->expanded);
    QModelIndex topicRow = model->indexOf(target);
    QCOMPARE(w.tree()->currentIndex(), topicRow);
    QTRY_VERIFY(w.tree()->viewport()->rect().contains(w.tree()->visualRect(topicRow)));
    QCOMPARE(editor.list().selectedRow(), kHitRow);
    QModelIndex itemRow = w.list()->model()->index(kHitRow, 0);
    QTRY_VERIFY(w.list()->viewport()->rect().contains(w.list()->visualRect(itemRow)));
    QTRY_COMPARE(bar->counter()->text(), QStringLiteral("2 件中 2 件目"));

    // The word is marked in its row, on a yellow ground after "札幌と".
    QRect rowRect = w.list()->visualRect(itemRow);
    QImage image = w.list()->viewport()->grab().toImage();
    auto yellowIn = [&](int from, int to) {
        int found = 0;
        for (int x = from; x < to; ++x) {
            for (int y = rowRect.top(); y <= rowRect.bottom(); ++y) {
                found += image.pixelColor(x, y) == QColor(255, 226, 80);
            }
        }
        return found;
    };
    QVERIFY(yellowIn(rowRect.left(), rowRect.right()) > 0);
    QCOMPARE(yellowIn(rowRect.left(), rowRect.left() + 30), 0);
    // Another row has none.
    rowRect = w.list()->visualRect(w.list()->model()->index(kHitRow - 1, 0));
    QCOMPARE(yellowIn(rowRect.left(), rowRect.right()), 0);

    // The buttons step as the keys do: on past the end to the caption, and back.
    QTest::mouseClick(bar->nextButton(), Qt::LeftButton);
    QCOMPARE(editor.selection().topic(), sixth);
    QCOMPARE(bar->counter()->text(), QStringLiteral("2 件中 1 件目"));
    QCOMPARE(MainWindowTestAccess::hintPanel(w)->text(),
             QStringLiteral("文書の最後まで検索しました。先頭から続けて検索しました。"));
    QTest::mouseClick(bar->previousButton(), Qt::LeftButton);
    QCOMPARE(editor.selection().topic(), target);
    QCOMPARE(editor.list().selectedRow(), kHitRow);
    // The close button: the focus goes to the list, which holds the hit.
    QTest::mouseClick(bar->closeButton(), Qt::LeftButton);
    QVERIFY(!bar->isVisible());
    QTRY_VERIFY(w.list()->hasFocus());
}

void FindWindowTest::theListOfEveryHitGoesThereAndFollowsEdits() {
    WindowFixture f(kOutline);
    MainWindow& w = f.window();
    Editor& editor = f.editor();
    FindBar* bar = MainWindowTestAccess::findBar(w);
    FindResultsPanel* panel = MainWindowTestAccess::findResults(w);
    QAbstractItemModelTester tester(panel->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    w.actions().action(CommandId::Find)->trigger();
    test::Type(bar->box(), QStringLiteral("報告"));
    QTest::mouseClick(bar->resultsButton(), Qt::LeftButton);
    QTRY_VERIFY(panel->isVisible());
    QCOMPARE(panel->model()->rowCount(), 3);
    QCOMPARE(panel->model()->index(0).data().toString(), QStringLiteral("仕事 › 報告書"));
    QCOMPARE(panel->model()->index(2).data().toString(), QStringLiteral("報告の控え"));
    QCOMPARE(panel->title()->text(), QStringLiteral("検索結果: 3 件"));
    QListView* view = panel->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      view->visualRect(panel->model()->index(1)).center());
    QCOMPARE(test::Here(editor), QStringLiteral("予定/0"));
    QCOMPARE(bar->counter()->text(), QStringLiteral("3 件中 2 件目"));
    // An edit: the list is made again a moment later.
    editor.editTextChanged(EditBox::List, *Utf8ToCp932("報告の準備"));
    editor.execute(CommandId::ListAdd);
    QVERIFY(editor.find().state().resultsStale());
    QTRY_VERIFY(!editor.find().state().resultsStale());
    QCOMPARE(panel->model()->rowCount(), 4);
    QCOMPARE(panel->model()->index(2).data().toString(), QStringLiteral("予定 › 報告の準備"));
}

// The window starts without the list of hits; asked for from the keyboard, it comes under the
// tree, names its parts for a screen reader, lists the hits and closes again.
void FindWindowTest::theListOfEveryHitIsMadeUnderTheTreeWhenFirstAskedFor() {
    WindowFixture f(kOutline);
    MainWindow& w = f.window();
    QSplitter* column = MainWindowTestAccess::treeColumn(w);
    QCOMPARE(column->count(), 1);
    QTest::keyClick(w.list(), Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = MainWindowTestAccess::findBar(w);
    QTRY_VERIFY(bar->box()->hasFocus());
    test::Type(bar->box(), QStringLiteral("報告"));
    bar->resultsButton()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(bar->resultsButton(), Qt::Key_Space);
    QCOMPARE(column->count(), 2);
    QCOMPARE(column->widget(0), w.tree());
    auto* panel = qobject_cast<FindResultsPanel*>(column->widget(1));
    QVERIFY(panel);
    QTRY_VERIFY(panel->isVisible());
    QAbstractItemModelTester tester(panel->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(panel->model()->rowCount(), 3);
    QVERIFY(panel->geometry().top() > w.tree()->geometry().top());
    QVERIFY(!panel->view()->accessibleName().isEmpty());
    // Shown again, it is the same list, not a second one.
    bar->resultsButton()->click();
    QCOMPARE(column->count(), 2);
    QCOMPARE(MainWindowTestAccess::findResults(w), panel);
}

void FindWindowTest::hidingCheckedItemsShowsInTheListAndItsCounter() {
    WindowFixture f(kOutline);
    MainWindow& w = f.window();
    Editor& editor = f.editor();
    QAction* hide = w.actions().action(CommandId::HideChecked);
    QVERIFY(hide->isCheckable());
    QVERIFY(!hide->isChecked());
    QCOMPARE(w.list()->model()->rowCount(), 3);
    hide->trigger();
    QVERIFY(hide->isChecked());
    QCOMPARE(ListRows(editor), (QStringList{QStringLiteral("報告書"), QStringLiteral("資料")}));
    QCOMPARE(w.list()->model()->rowCount(), 2);
    test::TestIniFile ini(f.dir().file("brenvale.ini"));
    QCOMPARE(QString::fromStdString(ini.ReadString("List", "HideChecked")), QStringLiteral("1"));
    MainWindowTestAccess::listCounter(w)->grab();
    QCOMPARE(MainWindowTestAccess::listCounter(w)->painted().black, QStringLiteral("1/2"));
    QCOMPARE(MainWindowTestAccess::listCounter(w)->painted().after, QStringLiteral(" 非表示 1"));

    // A tick: the row stays a moment, then goes.
    editor.selectRow(1);
    editor.toggleCheck(1);
    QCOMPARE(w.list()->model()->rowCount(), 2);
    QTRY_COMPARE_WITH_TIMEOUT(w.list()->model()->rowCount(), 1, 5000);
    MainWindowTestAccess::listCounter(w)->grab();
    QCOMPARE(MainWindowTestAccess::listCounter(w)->painted().after, QStringLiteral(" 非表示 2"));

    hide->trigger();
    QVERIFY(!hide->isChecked());
    QCOMPARE(w.list()->model()->rowCount(), 3);
    QCOMPARE(QString::fromStdString(
                 test::TestIniFile(f.dir().file("brenvale.ini")).ReadString("List", "HideChecked")),
             QStringLiteral("0"));
    MainWindowTestAccess::listCounter(w)->grab();
    QCOMPARE(MainWindowTestAccess::listCounter(w)->painted().after, QString());
}

void FindWindowTest::theProgressIsInTheTreesDisplayText() {
    WindowFixture f("仕事\n\b□報告書\n\b■会議の準備\n\b□-\n\t来週\n\t\b■出張\n予定");
    MainWindow& w = f.window();
    Editor& editor = f.editor();
    auto* model = static_cast<TopicTreeModel*>(w.tree()->model());
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    Topic* work = test::Find(editor, test::Sjis("仕事"));
    QModelIndex row = model->indexOf(work);
    auto counter = [&] { return row.data(TopicTreeModel::TrailingTextRole).toString(); };
    auto complete = [&] { return row.data(TopicTreeModel::TrailingCompleteRole).toBool(); };
    // Green pixels in the row as the tree paints it.
    auto greenPainted = [&] {
        QImage image = w.tree()->viewport()->grab().toImage();
        QRect rect = w.tree()->visualRect(row) & image.rect();
        QColor green = TopicRowDelegate::completeColour(w.tree()->palette().color(QPalette::Base));
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x) {
                if (image.pixelColor(x, y) == green) {
                    return true;
                }
            }
        }
        return false;
    };
    QCOMPARE(counter(), QString());
    w.actions().action(CommandId::ShowProgress)->trigger();
    QVERIFY(w.actions().action(CommandId::ShowProgress)->isChecked());
    QCOMPARE(
        QString::fromStdString(
            test::TestIniFile(f.dir().file("brenvale.ini")).ReadString("Tree", "ShowProgress")),
        QStringLiteral("1"));
    QCOMPARE(row.data().toString(), QStringLiteral("仕事"));
    QCOMPARE(counter(), QStringLiteral("1/2"));
    QVERIFY(!complete());
    QVERIFY(!greenPainted());
    QCOMPARE(model->indexOf(test::Find(editor, test::Sjis("予定")))
                 .data(TopicTreeModel::TrailingTextRole)
                 .toString(),
             QString());
    // A tick changes the counter at once; every Item checked is complete, painted green.
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    editor.tree().selectTopic(work);
    editor.toggleCheck(0);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(counter(), QStringLiteral("2/2"));
    QVERIFY(complete());
    editor.tree().selectTopic(test::Find(editor, test::Sjis("予定")));
    QVERIFY(greenPainted());
    // Folded, the Topic counts its subtree; the row hears of it.
    changed.clear();
    editor.tree().setTopicExpanded(work, false);
    QVERIFY(!changed.isEmpty());
    row = model->indexOf(work);
    QCOMPARE(counter(), QStringLiteral("3/3"));
    w.actions().action(CommandId::ShowProgress)->trigger();
    QCOMPARE(counter(), QString());
    QVERIFY(!greenPainted());
}

void FindWindowTest::aSwitchThatCannotBeStoredStaysAsItWas() {
    test::TempDir dir;
    // A folder where the settings file should be: every write to it fails.
    std::filesystem::create_directory(dir.file("brenvale.ini"));
    StartupOptions options;
    options.programPath = QApplication::applicationFilePath();
    options.companionFolder = QString::fromStdString(dir.path());
    options.settingsFile = QString::fromStdString(dir.file("brenvale.ini"));
    options.shortcutFile = QString::fromStdString(dir.file("brenvale.key"));
    MainWindow w(options);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.start();
    QString text;
    test::Answer(QStringLiteral("OK"), &text);
    w.actions().action(CommandId::HideChecked)->trigger();
    QVERIFY(text.contains(QStringLiteral("に書き込めません")));
    QVERIFY(!w.editor().settings().hideCheckedItems);
    QVERIFY(!w.actions().action(CommandId::HideChecked)->isChecked());
    test::Answer(QStringLiteral("OK"));
    w.editor().session().setModified(false);
    w.close();
}

BRENVALE_UI_TEST(ui_find_tests, FindWindowTest);
#include "find_window_test.moc"
