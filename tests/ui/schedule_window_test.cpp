// Dates and tags in the window: how the list draws what is overdue and due today on a light and
// a dark desktop, the tag panel's clicks, the filter in the status bar, and the agenda's way to an
// Item.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "editor/clock.h"
#include "support/main_window_test_access.h"
#include "ui/agenda_dialog.h"
#include "ui/agenda_model.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_view.h"
#include "ui/command_actions.h"
#include "ui/tag_panel.h"
#include "ui/topic_tree_view.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;

namespace {

class FixedClock : public Clock {
public:
    LocalTime now() const override { return {{2026, 12, 24}, 10 * 3600}; }
};

// A dark desktop palette that leaves the buttons light.
QPalette ScheduleDarkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2A, 0x2A, 0x2E));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x22));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Highlight, QColor(0x3D, 0x6E, 0xB4));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

// What a row of the list looks like, from a picture of the list.
struct RowInk {
    int ink = 0;           // pixels that stand off the background
    int red = 0;           // of them, clearly red ones
    int textContrast = 0;  // the strongest contrast left of `split`, and right of it
    int tokenContrast = 0;
};

RowInk Measure(const QImage& image, const QRect& rect, int from, int split) {
    QColor back = image.pixelColor(rect.right() - 2, rect.center().y());
    RowInk ink;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = from; x < rect.right(); ++x) {
            QColor c = image.pixelColor(x, y);
            int contrast = std::abs(c.lightness() - back.lightness());
            if (contrast < 40) {
                continue;
            }
            ++ink.ink;
            ink.red += c.red() > c.green() + 80 && c.red() > c.blue() + 80;
            int& strongest = x < split ? ink.textContrast : ink.tokenContrast;
            strongest = std::max(strongest, contrast);
        }
    }
    return ink;
}

// What the editor had gathered when a widget was first painted.
class FirstPaint : public QObject {
public:
    FirstPaint(QWidget* widget, MainWindow& window) : window_(window) {
        widget->installEventFilter(this);
    }
    bool painted = false;
    bool indexBuilt = false;
    int tagRows = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !painted) {
            painted = true;
            indexBuilt = window_.editor().tags().index().built();
            tagRows = window_.tagPanel()->model()->rowCount();
        }
        return false;
    }

private:
    MainWindow& window_;
};

QModelIndex Row(QAbstractItemModel* model, const QString& starts) {
    for (int r = 0; r < model->rowCount(); ++r) {
        QModelIndex index = model->index(r, 0);
        if (index.data().toString().startsWith(starts)) {
            return index;
        }
    }
    return {};
}

}  // namespace

class ScheduleWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QApplication::setPalette(QPalette()); }
    void overdueRowsAreRedAndTodayBoldOnEitherPalette();
    void aClickOnATagFiltersTheTreeAndTheList();
    void theAgendaLeadsToTheItem();
    void theTagPanelIsShownAgainAfterARestart();
    void theMenuSwitchMakesTheTagPanelWhenFirstUsedAndFollowsIt();
    void theDocumentIsPaintedBeforeItsDatesAndTagsAreGathered();
};

void ScheduleWindowTest::overdueRowsAreRedAndTodayBoldOnEitherPalette() {
    for (bool dark : {false, true}) {
        if (dark) {
            QApplication::setPalette(ScheduleDarkPalette());
        }
        // Declared first: the window still asks the clock while it closes.
        FixedClock clock;
        test::WindowFixture fixture(
            "T\n\b□wwwww due:2026-12-23\n\b□wwwww due:2026-12-24\n\b□wwwww due:2026-12-25");
        fixture.editor().schedule().setClock(clock);
        CheckListView* list = fixture.window().list();
        list->clearSelection();
        fixture.editor().selectRow(-1);
        QImage image = list->viewport()->grab().toImage();
        QFontMetrics metrics(list->font());
        int left = CheckListDelegate::boxColumnWidth(list) + 2;
        int split = left + metrics.horizontalAdvance(QStringLiteral("wwwww "));
        auto row = [&](int r) {
            return Measure(image, list->visualRect(list->model()->index(r, 0)), left, split);
        };
        RowInk overdue = row(0);
        RowInk today = row(1);
        RowInk later = row(2);
        QVERIFY2(overdue.red > 20, dark ? "dark" : "light");
        QCOMPARE(today.red, 0);
        QCOMPARE(later.red, 0);
        // Bold: the same text takes more ink.
        QVERIFY2(today.ink > later.ink * 11 / 10,
                 qPrintable(QString("%1 %2").arg(today.ink).arg(later.ink)));
        // The token is fainter than the text before it.
        QVERIFY(later.tokenContrast + 30 < later.textContrast);
    }
}

void ScheduleWindowTest::aClickOnATagFiltersTheTreeAndTheList() {
    test::WindowFixture fixture("A\n\b□a #x\n\b□b\nB\n\b□c #y\nC\n\tC1\n\b□d #x #y");
    MainWindow& window = fixture.window();
    TagPanel* panel = window.tagPanel();
    QVERIFY(!panel->isVisible());
    QAction* toggle = panel->toggleViewAction();
    toggle->trigger();
    QVERIFY(panel->isVisible());
    // A narrow strip, not half the window.
    QTRY_VERIFY2(std::abs(panel->width() - MainWindow::kTagPanelWidth) < 10,
                 qPrintable(QString::number(panel->width())));
    QAbstractItemModelTester tester(panel->model());
    QListView* view = panel->view();
    QCOMPARE(Row(view->model(), "タグなし").data().toString(), QStringLiteral("タグなし (1)"));
    QModelIndex x = Row(view->model(), "#x");
    QCOMPARE(x.data().toString(), QStringLiteral("#x (2)"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(x).center());
    QCOMPARE(fixture.editor().tree().rows().rowCount(), 3u);  // A, C and C1
    QCOMPARE(test::Rows(fixture.editor()), QStringList{"a #x"});
    QVERIFY(MainWindowTestAccess::filterLabel(window)->isVisible());
    QCOMPARE(MainWindowTestAccess::filterLabel(window)->text(), QStringLiteral("絞り込み: #x"));
    QVERIFY(panel->clearButton()->isEnabled());
    // Ctrl+click: both tags.
    QModelIndex y = Row(view->model(), "#y");
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view->visualRect(y).center());
    QCOMPARE(fixture.editor().tree().rows().rowCount(), 2u);
    QCOMPARE(MainWindowTestAccess::filterLabel(window)->text(),
             QStringLiteral("絞り込み: #x かつ #y"));
    QCOMPARE(Row(view->model(), "#y").data(TagListModel::FilterRole).toInt(), 1);
    // Esc in the tree ends it.
    window.tree()->setFocus();
    QTest::keyClick(window.tree(), Qt::Key_Escape);
    QVERIFY(!fixture.editor().tags().filter().active());
    QCOMPARE(fixture.editor().tree().rows().rowCount(), 4u);
    QVERIFY(!MainWindowTestAccess::filterLabel(window)->isVisible());
    // The counts follow the document.
    fixture.editor().tree().selectTopic(test::Find(fixture.editor(), "B"));
    fixture.editor().toggleCheck(0);
    QTRY_COMPARE(Row(view->model(), "#y").data().toString(), QStringLiteral("#y (1)"));
    toggle->trigger();
    QVERIFY(!panel->isVisible());
}

void ScheduleWindowTest::theAgendaLeadsToTheItem() {
    // Declared first: the window still asks the clock while it closes.
    FixedClock clock;
    test::WindowFixture fixture(
        "A\n\b□a due:2026-12-20\nB\n\tB1\n\b□b\n\b□c due:2026-12-24T09:00\n\b□d due:2027-02-01");
    fixture.editor().schedule().setClock(clock);
    fixture.window().actions().action(CommandId::Agenda)->trigger();
    AgendaDialog* agenda = MainWindowTestAccess::agendaDialog(fixture.window());
    QVERIFY(agenda && agenda->isVisible());
    QAbstractItemModelTester tester(agenda->model());
    QListView* view = agenda->view();
    QAbstractItemModel* model = view->model();
    // Each group's heading, then its Items.
    QCOMPARE(model->rowCount(), 6);
    QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("期限切れ (1)"));
    QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("今日 (1)"));
    QCOMPARE(model->index(4, 0).data().toString(), QStringLiteral("それ以降 (1)"));
    QVERIFY(model->index(2, 0).data(AgendaModel::HeadingRole).toBool());
    QVERIFY(!(model->flags(model->index(2, 0)) & Qt::ItemIsSelectable));
    QModelIndex today = model->index(3, 0);
    QVERIFY(!today.data(AgendaModel::HeadingRole).toBool());
    QCOMPARE(today.data().toString(), QStringLiteral("B › B1 › c due:2026-12-24T09:00"));
    // The first Item is the current row, not a heading.
    QCOMPARE(view->currentIndex().row(), 1);
    QCOMPARE(agenda->title()->text(), QStringLiteral("期限のある未チェックの項目: 3 件"));
    // A click goes there, its Topic unfolded.
    fixture.editor().tree().setTopicExpanded(test::Find(fixture.editor(), "B"), false);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(today).center());
    QCOMPARE(fixture.editor().selection().topic(), test::Find(fixture.editor(), "B1"));
    QCOMPARE(test::Rows(fixture.editor()).value(fixture.editor().list().selectedRow()),
             QStringLiteral("c due:2026-12-24T09:00"));
    QVERIFY(test::Find(fixture.editor(), "B")->expanded);
    // The keys pass over the headings: Up from today's Item goes to the overdue one, and Up
    // there, or Home, stays on it.
    view->setFocus();
    view->setCurrentIndex(today);
    QTest::keyClick(view, Qt::Key_Up);
    QModelIndex overdue = model->index(1, 0);
    QCOMPARE(view->currentIndex(), overdue);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(view->currentIndex(), overdue);
    QTest::keyClick(view, Qt::Key_End);
    QCOMPARE(view->currentIndex().row(), 5);
    QTest::keyClick(view, Qt::Key_Up);
    QCOMPARE(view->currentIndex(), today);
    QTest::keyClick(view, Qt::Key_Home);
    QCOMPARE(view->currentIndex(), overdue);
    // Enter on another row.
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(fixture.editor().selection().topic(), test::Find(fixture.editor(), "A"));
    // Ticked in the window, it leaves the agenda a moment later.
    fixture.editor().toggleCheck(0);
    QTRY_COMPARE(model->rowCount(), 4);
    QCOMPARE(agenda->title()->text(), QStringLiteral("期限のある未チェックの項目: 2 件"));
}

void ScheduleWindowTest::theTagPanelIsShownAgainAfterARestart() {
    test::TempDir dir;
    StartupOptions options;
    options.programPath = QApplication::applicationFilePath();
    options.companionFolder = QString::fromStdString(dir.path());
    options.settingsFile = QString::fromStdString(dir.file("brenvale.ini"));
    options.shortcutFile = QString::fromStdString(dir.file("brenvale.key"));
    auto run = [&](auto&& use) {
        MainWindow window(options);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.start();
        use(window);
        QVERIFY(window.close());
    };
    run([](MainWindow& window) {
        QVERIFY(!window.tagPanel()->isVisible());
        window.tagPanel()->toggleViewAction()->trigger();
    });
    QVERIFY(test::ReadBytes(dir.file("brenvale.ini")).find("TagPanel=1\r\n") != std::string::npos);
    run([](MainWindow& window) {
        QVERIFY(window.tagPanel()->isVisible());
        QVERIFY(window.tagPanel()->toggleViewAction()->isChecked());
        window.tagPanel()->toggleViewAction()->trigger();
    });
    QVERIFY(test::ReadBytes(dir.file("brenvale.ini")).find("TagPanel=0\r\n") != std::string::npos);
    run([](MainWindow& window) { QVERIFY(!window.tagPanel()->isVisible()); });
}

// A fresh window starts without the tag panel; the switch in the menu makes it, shows it
// counting the document's tags, and follows the panel's own close button.
void ScheduleWindowTest::theMenuSwitchMakesTheTagPanelWhenFirstUsedAndFollowsIt() {
    test::WindowFixture fixture("A\n\b□a #x\n\b□b\nB\n\b□c #y");
    MainWindow& window = fixture.window();
    QVERIFY(!window.tagPanelIfMade());
    QAction* toggle = nullptr;
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* entry : menu->menu() ? menu->menu()->actions() : QList<QAction*>{}) {
            if (entry->text() == QStringLiteral("タグパネル(&T)")) {
                toggle = entry;
            }
        }
    }
    QVERIFY(toggle);
    QVERIFY(toggle->isCheckable());
    QVERIFY(!toggle->isChecked());
    QVERIFY(!toggle->statusTip().isEmpty());
    toggle->trigger();
    TagPanel* panel = window.tagPanelIfMade();
    QVERIFY(panel);
    QVERIFY(panel->isVisible());
    QVERIFY(toggle->isChecked());
    QCOMPARE(window.dockWidgetArea(panel), Qt::RightDockWidgetArea);
    QTRY_VERIFY2(std::abs(panel->width() - MainWindow::kTagPanelWidth) < 10,
                 qPrintable(QString::number(panel->width())));
    QAbstractItemModelTester tester(panel->model());
    QTRY_COMPARE(panel->model()->rowCount(), 3);  // タグなし, #x, #y
    // Closed from the panel itself, the menu's switch goes off; on again, the same panel.
    panel->toggleViewAction()->trigger();
    QVERIFY(!panel->isVisible());
    QVERIFY(!toggle->isChecked());
    toggle->trigger();
    QVERIFY(panel->isVisible());
    QCOMPARE(window.tagPanel(), panel);
    QCOMPARE(window.findChildren<TagPanel*>().size(), 1);
}

void ScheduleWindowTest::theDocumentIsPaintedBeforeItsDatesAndTagsAreGathered() {
    test::TempDir dir;
    std::string path = dir.file("doc.bnv");
    test::WriteBytes(path, test::Sjis("T@00@\r\n\b□a #x due:2026-12-24T09:00\r\n\b□b #y\r\n"));
    StartupOptions options;
    options.programPath = QApplication::applicationFilePath();
    options.companionFolder = QString::fromStdString(dir.path());
    options.settingsFile = QString::fromStdString(dir.file("brenvale.ini"));
    options.shortcutFile = QString::fromStdString(dir.file("brenvale.key"));
    {
        // The tag panel was left open.
        MainWindow before(options);
        before.show();
        QVERIFY(QTest::qWaitForWindowExposed(&before));
        before.start();
        before.tagPanel()->toggleViewAction()->trigger();
        QVERIFY(before.close());
    }
    options.files = {QString::fromStdString(path)};
    // As the program starts: shown, then the document opened before the first paint.
    MainWindow window(options);
    FirstPaint first(window.list()->viewport(), window);
    window.show();
    window.start();
    QVERIFY(window.tagPanel()->isVisible());
    QTRY_VERIFY(first.painted);
    QVERIFY(!first.indexBuilt);
    QCOMPARE(first.tagRows, 0);
    // Then at once: the next reminder's timer asks the index, the panel fills in.
    QTRY_VERIFY(window.editor().tags().index().built());
    QTRY_COMPARE(window.tagPanel()->model()->rowCount(), 3);  // タグなし, #x, #y
    window.editor().session().setModified(false);
    QVERIFY(window.close());
}

BRENVALE_UI_TEST(ui_schedule_tests, ScheduleWindowTest);
#include "schedule_window_test.moc"
