// What a new user sees of the window: grey counts and hints, switches with a tick, the two
// options of the views' look, the title of a read-only document, and a find bar that leaves
// the window its size.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QSplitterHandle>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <cstdlib>
#include <optional>

#include "dark_palette.h"
#include "modal_answers.h"
#include "support/main_window_test_access.h"
#include "support/read_only_file.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_view.h"
#include "ui/colours.h"
#include "ui/command_actions.h"
#include "ui/find_bar.h"
#include "ui/find_results.h"
#include "ui/main_menus.h"
#include "ui/toolbar.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;

namespace {

int Distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// The colour text was drawn in within a region: the pixel farthest from the background.
std::optional<QColor> InkOf(const QImage& image, const QRect& region, const QColor& background) {
    std::optional<QColor> ink;
    int farthest = 60;  // anything nearer is the background or the edge of a glyph
    QRect area = region.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            QColor c = image.pixelColor(x, y);
            if (int d = Distance(c, background); d > farthest) {
                farthest = d;
                ink = c;
            }
        }
    }
    return ink;
}

QAction* MenuEntry(QMenu* menu, CommandId id, const MainWindow& window) {
    QAction* action = const_cast<MainWindow&>(window).actions().action(id);
    return menu->actions().contains(action) ? action : nullptr;
}

QMenu* MenuBarMenu(MainWindow& window, const QString& title) {
    for (QAction* top : window.menuBar()->actions()) {
        if (top->text() == title) {
            return top->menu();
        }
    }
    return nullptr;
}

}  // namespace

class WindowLookTest : public QObject {
    Q_OBJECT
private slots:
    void init() { light_ = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(light_); }

    void progressCountsAreGreyInBothPalettes();
    void theSwitchesAreTickedEntriesAndPressedButtons();
    void aListWhoseItemsAreAllHiddenSaysSoInOneGreyLine();
    void theEditBoxesHavePlaceholdersAndAnEmptyTreeAHint();
    void aReadOnlyDocumentSaysSoInTheTitle();
    void checkedItemsCanBeGreyAndStruckThrough();
    void topLevelTopicsCanHaveExpandButtons();
    void theOptionsDialogOffersBothAndOkWritesThem();
    void theFindBarNeverWidensTheWindow();
    void theFindResultsTakeAThirdAndKeepTheHeightDragged();

private:
    QPalette light_;
};

void WindowLookTest::progressCountsAreGreyInBothPalettes() {
    test::WindowFixture fixture("仕事\n\b■報告書\n\b□会議\n買い物\n\b□牛乳\n\b□パン");
    MainWindow& window = fixture.window();
    window.actions().action(CommandId::ShowProgress)->trigger();
    TopicTreeView* tree = window.tree();
    Topic* shopping = test::Find(fixture.editor(), test::Sjis("買い物"));
    QModelIndex index = tree->treeModel().indexOf(shopping);
    for (bool dark : {false, true}) {
        if (dark) {
            QApplication::setPalette(test::DarkDesktopPalette());
            QCoreApplication::processEvents();
        }
        const QString counts = index.data(TopicTreeModel::TrailingTextRole).toString();
        QCOMPARE(counts, QStringLiteral("0/2"));
        QImage image = tree->viewport()->grab().toImage();
        TopicRowHit hit = tree->hitAt(tree->visualRect(index).center());
        QRect row = tree->visualRect(index);
        const int width = tree->fontMetrics().horizontalAdvance(counts);
        const QRect countArea(hit.labelRight - width - 2, row.top(), width + 2, row.height());
        const QRect captionArea(hit.labelLeft + 20, row.top(),
                                hit.labelRight - width - 8 - hit.labelLeft - 20, row.height());
        const QColor background = tree->palette().color(QPalette::Base);
        std::optional<QColor> countInk = InkOf(image, countArea, background);
        std::optional<QColor> captionInk = InkOf(image, captionArea, background);
        QVERIFY(countInk && captionInk);
        const QColor grey = GreyText(tree->palette());
        QVERIFY2(Distance(*countInk, grey) < 60, qPrintable(countInk->name() + " " + grey.name()));
        QVERIFY2(Distance(*countInk, *captionInk) > 100,
                 qPrintable(countInk->name() + " " + captionInk->name()));
        // Half way between the view's text and its background.
        QCOMPARE(grey, GreyTextBetween(tree->palette().color(QPalette::Text), background));
    }
}

void WindowLookTest::theSwitchesAreTickedEntriesAndPressedButtons() {
    test::TempDir dir;
    test::WriteBytes(dir.file("brenvale.ini"),
                     "[ToolBar]\r\n00=HideChecked\r\n01=ShowProgress\r\n02=ListEditInPlace\r\n");
    auto window = test::MakeWindow(dir);
    QMenu* options = MenuBarMenu(*window, QStringLiteral("オプション(&O)"));
    QVERIFY(options);
    for (CommandId id : {CommandId::HideChecked, CommandId::ShowProgress}) {
        QAction* action = window->actions().action(id);
        // A checkable entry without a picture in menus, which styles draw with a tick.
        QVERIFY(action->isCheckable());
        QVERIFY(!action->isIconVisibleInMenu());
        QVERIFY(!action->icon().isNull());
        QVERIFY(MenuEntry(options, id, *window));
        QToolButton* button = MainWindowTestAccess::toolbar(*window)->button(id);
        QVERIFY(button && button->isVisible());
        QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
        QVERIFY(!button->isChecked());
        action->trigger();
        QVERIFY(action->isChecked());
        QVERIFY(button->isChecked());  // shown pressed
    }
    // Each popup offers its view's switch; commands without a switch keep their pictures.
    QVERIFY(MenuEntry(MainWindowTestAccess::menus(*window).listPopup(), CommandId::HideChecked,
                      *window));
    QVERIFY(MenuEntry(MainWindowTestAccess::menus(*window).treePopup(), CommandId::ShowProgress,
                      *window));
    QVERIFY(window->actions().action(CommandId::ListEditInPlace)->isIconVisibleInMenu());
    QVERIFY(!MainWindowTestAccess::toolbar(*window)
                 ->button(CommandId::ListEditInPlace)
                 ->icon()
                 .isNull());
    window->editor().session().setModified(false);
    window->close();
}

void WindowLookTest::aListWhoseItemsAreAllHiddenSaysSoInOneGreyLine() {
    test::WindowFixture fixture("仕事\n\b■報告書\n\b■会議\n買い物\n\b□牛乳");
    MainWindow& window = fixture.window();
    CheckListView* list = window.list();
    auto greyLine = [&]() -> std::optional<QColor> {
        QImage image = list->viewport()->grab().toImage();
        return InkOf(image, QRect(0, 0, list->viewport()->width(), 18),
                     list->palette().color(QPalette::Base));
    };
    QVERIFY(!greyLine() || Distance(*greyLine(), GreyText(list->palette())) > 60);
    window.actions().action(CommandId::HideChecked)->trigger();
    // No row: the line is no Item to select, tick or count.
    QCOMPARE(list->model()->rowCount(), 0);
    QCOMPARE(QString::fromStdString(fixture.editor().list().allHiddenText()),
             QStringLiteral("チェック済みの項目 2 件を隠しています"));
    std::optional<QColor> ink = greyLine();
    QVERIFY(ink);
    QVERIFY2(Distance(*ink, GreyText(list->palette())) < 60, qPrintable(ink->name()));
    // A list with a row to show shows it instead.
    fixture.editor().tree().selectTopic(test::Find(fixture.editor(), test::Sjis("買い物")));
    QCOMPARE(list->model()->rowCount(), 1);
    QVERIFY(fixture.editor().list().allHiddenText().empty());
}

void WindowLookTest::theEditBoxesHavePlaceholdersAndAnEmptyTreeAHint() {
    test::TempDir dir;
    std::string path = dir.file("empty.bnv");
    test::WriteBytes(path, "");
    auto window = test::MakeWindow(dir, {QString::fromStdString(path)});
    QCOMPARE(window->treeEdit()->placeholderText(), QStringLiteral("トピック名"));
    QCOMPARE(window->listEdit()->placeholderText(), QStringLiteral("項目を入力して Enter"));
    // Grey, as the palette's grey text.
    QCOMPARE(window->listEdit()->palette().color(QPalette::PlaceholderText),
             GreyText(window->list()->palette()));

    // The empty tree: one grey line, which is no row.
    TopicTreeView* tree = window->tree();
    QCOMPARE(tree->model()->rowCount(), 0);
    QImage image = tree->viewport()->grab().toImage();
    std::optional<QColor> ink = InkOf(image, QRect(0, 0, tree->viewport()->width(), 18),
                                      tree->palette().color(QPalette::Base));
    QVERIFY(ink);
    QVERIFY2(Distance(*ink, GreyText(tree->palette())) < 60, qPrintable(ink->name()));
    // Insert in the tree does what the line says.
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Insert);
    QCOMPARE(tree->model()->rowCount(), 1);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window->treeEdit()));
    QCOMPARE(window->treeEdit()->selectedText(), QStringLiteral("新しいツリー"));
    window->editor().session().setModified(false);
    window->close();
}

void WindowLookTest::aReadOnlyDocumentSaysSoInTheTitle() {
    test::TempDir dir;
    test::WriteBytes(dir.file("brenvale.ini"), "[Window]\r\nTitleFullPath=0\r\n");
    std::string path = dir.file("plan.bnv");
    test::WriteBytes(path, "A@00@\r\n");
    test::ReadOnlyFile locked(path);
    if (!locked.ok()) {
        QSKIP("no way to make a read-only file here");
    }
    auto window = test::MakeWindow(dir, {QString::fromStdString(path)});
    QCOMPARE(window->windowTitle(), QStringLiteral("plan.bnv [読み取り専用] - Brenvale"));
    window->close();
}

void WindowLookTest::checkedItemsCanBeGreyAndStruckThrough() {
    test::WindowFixture fixture("仕事\n\b■報告書を書く\n\b□会議の準備をする");
    MainWindow& window = fixture.window();
    CheckListView* list = window.list();
    fixture.editor().selectRow(-1);
    auto inkOfRow = [&](int row) {
        QImage image = list->viewport()->grab().toImage();
        QRect r = list->visualRect(list->model()->index(row, 0));
        r.setLeft(r.left() + CheckListDelegate::boxColumnWidth(list));
        return InkOf(image, r, list->palette().color(QPalette::Base));
    };
    const QColor text = list->palette().color(QPalette::Text);
    // Off by default: a checked Item looks as an unchecked one but for its tick.
    QVERIFY(Distance(*inkOfRow(0), text) < 60);
    Settings settings = fixture.editor().settings();
    settings.greyCheckedItems = true;
    fixture.editor().setSettings(settings);
    QVERIFY2(Distance(*inkOfRow(0), GreyText(list->palette())) < 60,
             qPrintable(inkOfRow(0)->name()));
    QVERIFY(Distance(*inkOfRow(1), text) < 60);
}

void WindowLookTest::topLevelTopicsCanHaveExpandButtons() {
    test::WindowFixture fixture("仕事\n\t来週\n買い物");
    TopicTreeView* tree = fixture.window().tree();
    Topic* work = test::Find(fixture.editor(), test::Sjis("仕事"));
    Topic* next = test::Find(fixture.editor(), test::Sjis("来週"));
    QModelIndex index = tree->treeModel().indexOf(work);
    TopicRowHit before = tree->hitAt(tree->visualRect(index).center());
    QCOMPARE(before.buttonRight, before.buttonLeft);  // none, as always by default
    Settings settings = fixture.editor().settings();
    settings.topLevelButtons = true;
    fixture.editor().setSettings(settings);
    TopicRowHit after = tree->hitAt(tree->visualRect(index).center());
    // Every row moves one column to the right; the top level's button stands in it.
    QCOMPARE(after.labelLeft, before.labelLeft + TopicTreeView::kIndentation);
    QCOMPARE(after.buttonRight - after.buttonLeft, TopicTreeView::kIndentation);
    QVERIFY(work->expanded);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      test::PointOn(tree, work, test::RowPart::Button));
    QVERIFY(!work->expanded);
    QVERIFY(!tree->treeModel().indexOf(next).isValid());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      test::PointOn(tree, work, test::RowPart::Button));
    QVERIFY(work->expanded);
    // A Topic without children has no button, at any level.
    Topic* shopping = test::Find(fixture.editor(), test::Sjis("買い物"));
    TopicRowHit leaf = tree->hitAt(tree->visualRect(tree->treeModel().indexOf(shopping)).center());
    QCOMPARE(leaf.buttonRight, leaf.buttonLeft);
}

void WindowLookTest::theOptionsDialogOffersBothAndOkWritesThem() {
    test::WindowFixture fixture("仕事");
    MainWindow& window = fixture.window();
    test::WhenModal<QDialog>([](QDialog* dialog) {
        [&] {
            auto* grey = dialog->findChild<QCheckBox*>(QStringLiteral("cbListGray"));
            auto* buttons = dialog->findChild<QCheckBox*>(QStringLiteral("cbTreeRootButtons"));
            QVERIFY(grey && buttons);
            QCOMPARE(grey->text(), QStringLiteral("チェック済みの項目を灰色で表示 (&G)"));
            QCOMPARE(buttons->text(), QStringLiteral("最上位のトピックにも展開ボタンを表示 (&T)"));
            QVERIFY(!grey->isChecked() && !buttons->isChecked());
            // The first page still shows every control whole.
            QWidget* page = dialog->findChild<QTabWidget*>()->widget(0);
            QVERIFY2(page->minimumSizeHint().height() <= page->height(),
                     qPrintable(QString::number(page->minimumSizeHint().height())));
            grey->setChecked(true);
            buttons->setChecked(true);
        }();
        dialog->findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    window.showOptionsDialog();
    QVERIFY(fixture.editor().settings().greyCheckedItems);
    QVERIFY(fixture.editor().settings().topLevelButtons);
    std::string ini = test::ReadBytes(fixture.dir().file("brenvale.ini"));
    QVERIFY(ini.find("RootButtons=1") != std::string::npos);
    QVERIFY(ini.find("GrayChecked=1") != std::string::npos);
}

void WindowLookTest::theFindBarNeverWidensTheWindow() {
    test::WindowFixture fixture("仕事\n\b□報告書\n買い物\n\b□牛乳");
    MainWindow& window = fixture.window();
    for (int width : {573, 420}) {
        MainWindowTestAccess::findBar(window)->hide();
        QCoreApplication::processEvents();  // the least size without the bar
        window.resize(width, 376);
        QCoreApplication::processEvents();
        const QSize before = window.size();
        QCOMPARE(before.width(), width);
        const int least = window.minimumSizeHint().width();
        window.actions().action(CommandId::Find)->trigger();
        QCoreApplication::processEvents();
        QCOMPARE(window.size(), before);
        test::Type(MainWindowTestAccess::findBar(window)->box(), QStringLiteral("報"));
        QTRY_VERIFY(!MainWindowTestAccess::findBar(window)->counter()->text().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(window.size(), before);
        // Nor does the bar ask for more of a narrower window: its widest part (the check box
        // with its long caption) is cut to the window instead.
        QCOMPARE(window.minimumSizeHint().width(), least);
        // Every part stays inside the bar, on a second row where the first has no room.
        for (QWidget* part : MainWindowTestAccess::findBar(window)->findChildren<QWidget*>()) {
            if (part->isVisible() &&
                part->parentWidget() == MainWindowTestAccess::findBar(window)) {
                QVERIFY(MainWindowTestAccess::findBar(window)->rect().contains(part->geometry()));
            }
        }
        MainWindowTestAccess::findBar(window)->box()->clear();
    }
}

void WindowLookTest::theFindResultsTakeAThirdAndKeepTheHeightDragged() {
    test::TempDir dir;
    int dragged = 0;
    // Run 0 drags the handle 40 pixels up, run 1 as far up as it goes (the tree smaller than
    // the list of results may be), and each next run opens the list at the height left.
    for (int run = 0; run < 3; ++run) {
        auto window = test::MakeWindow(dir);
        window->resize(600, 480);
        QCoreApplication::processEvents();
        QSplitter* column = MainWindowTestAccess::treeColumn(*window);
        window->actions().action(CommandId::Find)->trigger();
        test::Type(MainWindowTestAccess::findBar(*window)->box(), QStringLiteral("ツリー"));
        MainWindowTestAccess::findBar(*window)->resultsButton()->click();
        QCoreApplication::processEvents();
        QVERIFY(MainWindowTestAccess::findResults(*window)->isVisible());
        const int total = column->sizes().value(0) + column->sizes().value(1);
        if (run == 0) {
            QVERIFY2(std::abs(column->sizes().value(1) - total / 3) <= 2,
                     qPrintable(QString::number(column->sizes().value(1))));
        } else {
            QCOMPARE(column->sizes().value(1), dragged);
        }
        if (run < 2) {
            const int before = column->sizes().value(1);
            const int up = run == 0 ? 40 : total;
            QSplitterHandle* handle = column->handle(1);
            QPoint at = handle->rect().center();
            auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
                QMouseEvent event(type, p, handle->mapToGlobal(p), Qt::LeftButton, buttons, {});
                QApplication::sendEvent(handle, &event);
            };
            send(QEvent::MouseButtonPress, at, Qt::LeftButton);
            send(QEvent::MouseMove, at - QPoint(0, up / 2), Qt::LeftButton);
            send(QEvent::MouseMove, at - QPoint(0, up), Qt::LeftButton);
            send(QEvent::MouseButtonRelease, at - QPoint(0, up), Qt::NoButton);
            dragged = column->sizes().value(1);
            QVERIFY2(
                dragged >= before + 30,
                qPrintable(QStringLiteral("%1 of %2 from %3").arg(dragged).arg(total).arg(before)));
            if (run == 1) {
                QVERIFY(column->sizes().value(0) <
                        MainWindowTestAccess::findResults(*window)->minimumSizeHint().height());
            }
        }
        window->editor().session().setModified(false);
        window->close();
    }
}

BRENVALE_UI_TEST(ui_window_look_tests, WindowLookTest);

#include "window_look_test.moc"
