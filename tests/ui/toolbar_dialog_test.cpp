#include <QAbstractItemModelTester>
#include <QCursor>
#include <QDragMoveEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <filesystem>

#include "editor/command_table.h"
#include "support/main_window_test_access.h"
#include "ui/command_actions.h"
#include "ui/main_menus.h"
#include "ui/toolbar.h"
#include "ui/toolbar_dialog.h"
#include "ui/toolbar_entry_view.h"
#include "ui_test_registry.h"
#include "ui_test_support.h"

using namespace brenvale;
using brenvale::test::ButtonNamed;
using Which = ToolbarDialog::Which;
using Slot = Toolbar::Slot;

namespace {

QPoint RowCentre(ToolbarEntryView* view, int row) {
    return view->visualRect(view->model()->index(row, 0)).center();
}

// A drag of data over a list's viewport, dropped there when drop is set; gives whether the
// list took it.
bool DragOver(QWidget* target, const QPoint& at, QMimeData* data, bool drop) {
    QDragEnterEvent enter(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    if (!move.isAccepted() || !drop) {
        return move.isAccepted();
    }
    QDropEvent dropEvent(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropEvent);
    return dropEvent.isAccepted();
}

// Drags the current entry of a list onto a row of a list (or below its last entry).
bool DragEntries(ToolbarDialog& dialog, Which from, Which to, int row) {
    ToolbarEntryView* target = dialog.view(to);
    QPoint at = row < target->model()->rowCount() ? RowCentre(target, row)
                                                  : QPoint(5, target->viewport()->height() - 3);
    std::unique_ptr<QMimeData> data(dialog.dragData(from));
    dialog.lbStartDrag(from);
    bool taken = DragOver(target->viewport(), at, data.get(), true);
    dialog.lbEndDrag();
    return taken;
}

void ClickRow(ToolbarEntryView* view, int row, Qt::KeyboardModifiers modifiers = {}) {
    view->scrollTo(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, RowCentre(view, row));
}

// Every command of the first version, a separator between categories.
std::vector<Slot> DefaultSet() {
    std::vector<Slot> entries;
    for (const CommandInfo& info : CommandTable()) {
        if (info.tag > kFirstVersionCommands) {
            break;
        }
        if (info.tag > 1 && info.category != CommandTable()[info.tag - 2].category) {
            entries.push_back(Slot{});
        }
        entries.push_back(info.id);
    }
    return entries;
}

}  // namespace

class ToolbarDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void ctrlBOpensTheDialogWithTheToolbar();
    void defaultSetAndOkRebuildTheToolbarWithTheSameButtons();
    void removingEveryEntryErasesTheSectionAndKeepsTheToolbar();
    void cancelChangesNothing();
    void aSettingsFileThatCannotBeWrittenKeepsTheDialogOpen();
    void buttonsMoveEntriesBetweenTheLists();
    void dragsMoveOneEntryAndShowTheDropLine();
    void restingOnTheLabelOrTheBottomPanelScrollsTheList();

private:
    MainWindow& window() { return folder_->window(); }
    bool withDialog(std::function<void(ToolbarDialog&)> body);
    std::string settings() { return test::ReadBytes(folder_->settingsFile()); }

    std::unique_ptr<test::WindowInFolder> folder_;
};

void ToolbarDialogTest::init() {
    folder_ = std::make_unique<test::WindowInFolder>();
    folder_->open();
}

void ToolbarDialogTest::cleanup() {
    folder_.reset();
}

bool ToolbarDialogTest::withDialog(std::function<void(ToolbarDialog&)> body) {
    return test::WithDialog<ToolbarDialog>(&window(), Qt::Key_B, Qt::ControlModifier, body);
}

void ToolbarDialogTest::ctrlBOpensTheDialogWithTheToolbar() {
    withDialog([&](ToolbarDialog& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ツールバーのボタン表示設定"));
        QCOMPARE(dialog.minimumSize(), QSize(433, 255));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog.windowIcon().isNull());
        ToolbarEntryView* src = dialog.view(Which::Src);
        ToolbarEntryView* dst = dialog.view(Which::Dst);
        for (ToolbarEntryView* view : {src, dst}) {
            QAbstractItemModelTester tester(view->model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
        }
        // The designed toolbar: every command of the first version shown; the later ones and
        // the template are left.
        QCOMPARE(test::RowTexts(src), test::LaterCommandEntries());
        QStringList shown = test::RowTexts(dst);
        QCOMPARE(shown.size(), 38);
        QCOMPARE(shown.mid(0, 3), (QStringList{"(01) 終了", "区切り", "(02) 新規作成"}));
        QCOMPARE(dst->visualRect(dst->model()->index(1, 0)).height(), 24);
        // The side panels share what the centre panel leaves, at least as much as at the
        // dialog's designed width.
        const int side = dst->parentWidget()->width();
        QCOMPARE(src->parentWidget()->width(), side);
        QVERIFY(side >= 149);
        dialog.resize(dialog.width() + 100, 300);
        QApplication::processEvents();
        QCOMPARE(dst->parentWidget()->width(), side + 50);
        QVERIFY(dst->parentWidget()->geometry().left() - src->parentWidget()->geometry().right() >
                127);
    });
}

void ToolbarDialogTest::defaultSetAndOkRebuildTheToolbarWithTheSameButtons() {
    Toolbar* strip = MainWindowTestAccess::toolbar(window());
    QList<QToolButton*> before = strip->findChildren<QToolButton*>();
    QCOMPARE(before.size(), kCommandCount);  // one button per command, shown or held
    bool closed = withDialog([&](ToolbarDialog& dialog) {
        ButtonNamed(&dialog, QStringLiteral("初期値"))->click();
        QCOMPARE(test::RowTexts(dialog.view(Which::Dst)).size(), 38);
        QCOMPARE(test::RowTexts(dialog.view(Which::Src)), test::LaterCommandEntries());
        ButtonNamed(&dialog, QStringLiteral("OK"))->click();
    });
    QVERIFY(closed);
    std::string ini = settings();
    QVERIFY(ini.find("[ToolBar]\r\n00=PGMExit\r\n01=NewOpen\r\n") != std::string::npos);
    QVERIFY(ini.find("\r\n06=-\r\n07=ChgIcon\r\n") != std::string::npos);
    QVERIFY(ini.find("\r\n37=About\r\n") != std::string::npos);
    QCOMPARE(strip->shownLayout(), DefaultSet());
    // One flowing sequence: no row starts after TreePaste's separator any more.
    QApplication::processEvents();
    QCOMPARE(strip->button(CommandId::ListAdd)->y(), strip->button(CommandId::TreePaste)->y());
    QList<QToolButton*> after = strip->findChildren<QToolButton*>();
    QCOMPARE(QSet<QToolButton*>(after.begin(), after.end()),
             QSet<QToolButton*>(before.begin(), before.end()));
    QCOMPARE(strip->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly).size(), 4);
    QCOMPARE(strip->button(CommandId::Open)->menu(),
             MainWindowTestAccess::menus(window()).recentMenu());
    QCOMPARE(strip->button(CommandId::ChgIcon)->menu(),
             MainWindowTestAccess::menus(window()).iconMenu());

    // And the same at the next start.
    folder_->open();
    QCOMPARE(MainWindowTestAccess::toolbar(window())->shownLayout(), DefaultSet());
}

void ToolbarDialogTest::removingEveryEntryErasesTheSectionAndKeepsTheToolbar() {
    test::WriteBytes(folder_->settingsFile(),
                     "[ToolBar]\r\n00=Open\r\n01=-\r\n02=Bogus\r\n03=ChgIcon\r\n");
    folder_->open();
    Toolbar* strip = MainWindowTestAccess::toolbar(window());
    const std::vector<Slot> layout{CommandId::Open, Slot{}, CommandId::ChgIcon};
    QCOMPARE(strip->shownLayout(), layout);
    QToolButton* hidden = strip->button(CommandId::Save);
    QCOMPARE(hidden->parentWidget(), strip->holdingBar());
    QVERIFY(!strip->holdingBar()->isVisible() && !hidden->isVisible());
    QCOMPARE(strip->button(CommandId::ChgIcon)->parentWidget(), static_cast<QWidget*>(strip));
    QCOMPARE(strip->button(CommandId::ChgIcon)->menu(),
             MainWindowTestAccess::menus(window()).iconMenu());

    bool closed = withDialog([&](ToolbarDialog& dialog) {
        QCOMPARE(test::RowTexts(dialog.view(Which::Dst)),
                 (QStringList{"(03) 開く...", "区切り", "(07) アイコン変更..."}));
        QCOMPARE(dialog.view(Which::Src)->model()->rowCount(), kCommandCount - 1);
        ButtonNamed(&dialog, QStringLiteral("<<- すべて削除"))->click();
        QCOMPARE(dialog.view(Which::Src)->model()->rowCount(), kCommandCount + 1);
        QVERIFY(test::RowTexts(dialog.view(Which::Dst)).isEmpty());
        QVERIFY(!ButtonNamed(&dialog, QStringLiteral("<- 削除"))->isEnabled());
        ButtonNamed(&dialog, QStringLiteral("OK"))->click();
    });
    QVERIFY(closed);
    QVERIFY(settings().find("[ToolBar]") == std::string::npos);
    QCOMPARE(strip->shownLayout(), layout);
    folder_->open();
    QCOMPARE(MainWindowTestAccess::toolbar(window())->shownLayout(), Toolbar::DesignedLayout());
}

void ToolbarDialogTest::cancelChangesNothing() {
    withDialog([&](ToolbarDialog& dialog) {
        ButtonNamed(&dialog, QStringLiteral("<<- すべて削除"))->click();
        ButtonNamed(&dialog, QStringLiteral("キャンセル"))->click();
        QVERIFY(!dialog.isVisible());
    });
    QVERIFY(!QFile::exists(QString::fromStdString(folder_->settingsFile())));
    QCOMPARE(MainWindowTestAccess::toolbar(window())->shownLayout(), Toolbar::DesignedLayout());
}

void ToolbarDialogTest::aSettingsFileThatCannotBeWrittenKeepsTheDialogOpen() {
    std::filesystem::create_directory(folder_->settingsFile());
    bool closed = withDialog([&](ToolbarDialog& dialog) {
        ButtonNamed(&dialog, QStringLiteral("初期値"))->click();
        QString text;
        test::Answer(QStringLiteral("OK"), &text);
        ButtonNamed(&dialog, QStringLiteral("OK"))->click();
        QVERIFY(text.contains(QStringLiteral("に書き込めません")));
        QVERIFY(dialog.isVisible());
    });
    QVERIFY(!closed);
    QCOMPARE(MainWindowTestAccess::toolbar(window())->shownLayout(), Toolbar::DesignedLayout());
    std::filesystem::remove(folder_->settingsFile());
}

void ToolbarDialogTest::buttonsMoveEntriesBetweenTheLists() {
    test::WriteBytes(folder_->settingsFile(), "[ToolBar]\r\n00=PGMExit\r\n01=Open\r\n");
    folder_->open();
    bool closed = withDialog([&](ToolbarDialog& dialog) {
        ToolbarEntryView* src = dialog.view(Which::Src);
        ToolbarEntryView* dst = dialog.view(Which::Dst);
        // Two entries picked with Ctrl arrive in reverse order; the template stays.
        ClickRow(src, 0);
        ClickRow(src, src->model()->rowCount() - 1, Qt::ControlModifier);
        ButtonNamed(&dialog, QStringLiteral("追加 ->"))->click();
        QCOMPARE(test::RowTexts(src).last(), QStringLiteral("区切り"));
        QVERIFY(src->selectionModel()->isRowSelected(0));
        QToolButton* up = ButtonNamed<QToolButton>(&dialog, QStringLiteral("上へ"));
        QVERIFY(up->isEnabled() && !ButtonNamed<QToolButton>(&dialog, "下へ")->isEnabled());
        up->click();
        up->click();
        QCOMPARE(dst->currentIndex().row(), 1);
        ButtonNamed(&dialog, QStringLiteral("OK"))->click();
    });
    QVERIFY(closed);
    QCOMPARE(MainWindowTestAccess::toolbar(window())->shownLayout(),
             (std::vector<Slot>{CommandId::Exit, CommandId::NewOpen, CommandId::Open, Slot{}}));
}

void ToolbarDialogTest::dragsMoveOneEntryAndShowTheDropLine() {
    test::WriteBytes(folder_->settingsFile(),
                     "[ToolBar]\r\n00=PGMExit\r\n01=-\r\n02=Open\r\n03=Save\r\n");
    folder_->open();
    bool closed = withDialog([&](ToolbarDialog& dialog) {
        ToolbarEntryView* src = dialog.view(Which::Src);
        ToolbarEntryView* dst = dialog.view(Which::Dst);
        // From the shown list onto the available list: back to its sorted place.
        ClickRow(dst, 0);
        ClickRow(dst, 2, Qt::ControlModifier);
        QVERIFY(DragEntries(dialog, Which::Dst, Which::Src, 5));
        QCOMPARE(test::RowTexts(dst), (QStringList{"(01) 終了", "区切り", "(04) 上書き保存"}));
        QCOMPARE(test::RowTexts(src).mid(0, 2), (QStringList{"(02) 新規作成", "(03) 開く..."}));
        QVERIFY(src->selectionModel()->isRowSelected(1));

        // From the available list onto the second row: the red line marks the gap above it.
        std::unique_ptr<QMimeData> data(dialog.dragData(Which::Src));
        dialog.lbStartDrag(Which::Src);
        QVERIFY(DragOver(dst->viewport(), RowCentre(dst, 1), data.get(), false));
        QCOMPARE(dst->dropLine(), std::optional<int>(23));
        QImage shot = dst->viewport()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 23)), QColor(Qt::red));
        QCOMPARE(QColor(shot.pixel(dst->viewport()->width() - 1, 24)), QColor(Qt::red));
        QVERIFY(QColor(shot.pixel(0, 25)) != QColor(Qt::red));
        QVERIFY(QColor(shot.pixel(0, 47)) != QColor(Qt::red));
        QVERIFY(
            DragOver(dst->viewport(), QPoint(5, dst->viewport()->height() - 2), data.get(), false));
        QCOMPARE(dst->dropLine(), std::optional<int>(71));  // below the last entry
        QDropEvent drop(RowCentre(dst, 1), Qt::MoveAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(dst->viewport(), &drop);
        dialog.lbEndDrag();
        QCOMPARE(dst->dropLine(), std::nullopt);
        QCOMPARE(test::RowTexts(dst),
                 (QStringList{"(01) 終了", "(03) 開く...", "区切り", "(04) 上書き保存"}));
        QVERIFY(dst->selectionModel()->isRowSelected(1));

        // Inside the shown list: the dragged entry takes the place of the one under it.
        QCOMPARE(dst->currentIndex().row(), 1);
        QVERIFY(DragEntries(dialog, Which::Dst, Which::Dst, 3));
        QCOMPARE(test::RowTexts(dst),
                 (QStringList{"(01) 終了", "区切り", "(04) 上書き保存", "(03) 開く..."}));

        // The template twice gives two separators and stays.
        for (int round = 0; round < 2; ++round) {
            ClickRow(src, src->model()->rowCount() - 1);
            QVERIFY(DragEntries(dialog, Which::Src, Which::Dst, 99));
        }
        QCOMPARE(test::RowTexts(dst).mid(4), (QStringList{"区切り", "区切り"}));
        QCOMPARE(test::RowTexts(src).last(), QStringLiteral("区切り"));
        QCOMPARE(test::RowTexts(src).count(QStringLiteral("区切り")), 1);

        // The available list takes nothing from itself, and neither list a foreign drag.
        ClickRow(src, 0);
        QVERIFY(!DragEntries(dialog, Which::Src, Which::Src, 1));
        QMimeData foreign;
        foreign.setData("application/x-brenvale-tool-entry", "1 src 0");
        QVERIFY(!DragOver(dst->viewport(), RowCentre(dst, 0), &foreign, true));
        foreign.setText("(01) 終了");
        QVERIFY(!DragOver(src->viewport(), RowCentre(src, 0), &foreign, true));
        QCOMPARE(test::RowTexts(dst).size(), 6);
        ButtonNamed(&dialog, QStringLiteral("OK"))->click();
    });
    QVERIFY(closed);
    QVERIFY(settings().find("[ToolBar]\r\n00=PGMExit\r\n01=-\r\n02=Save\r\n03=Open\r\n04=-\r\n"
                            "05=-\r\n") != std::string::npos);
}

void ToolbarDialogTest::restingOnTheLabelOrTheBottomPanelScrollsTheList() {
    withDialog([&](ToolbarDialog& dialog) {
        ToolbarEntryView* dst = dialog.view(Which::Dst);
        QScrollBar* bar = dst->verticalScrollBar();
        QVERIFY(bar->maximum() > 5);
        ClickRow(dst, 0);
        std::unique_ptr<QMimeData> data(dialog.dragData(Which::Dst));
        dialog.lbStartDrag(Which::Dst);
        QWidget* panel = dialog.bottomPanel();
        QLabel* label = dialog.dstLabel();
        // Below the shown list the panel scrolls it down, one line every 150 ms.
        QPoint under(label->mapTo(&dialog, QPoint(label->width() / 2, 0)).x(), panel->y() + 5);
        QCursor::setPos(dialog.mapToGlobal(under));
        QVERIFY(!DragOver(panel, QPoint(under.x(), 5), data.get(), true));
        QVERIFY(dialog.scrollTimer().isActive());
        QCOMPARE(dialog.scrollTimer().interval(), 150);
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 2, 1000);
        // The label above it scrolls it up.
        QCursor::setPos(label->mapToGlobal(QPoint(5, 3)));
        QVERIFY(!DragOver(label, QPoint(5, 3), data.get(), true));
        int down = bar->value();
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() < down, 1000);
        // Anywhere else the timer stops.
        QCursor::setPos(dst->viewport()->mapToGlobal(QPoint(5, 5)));
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.scrollTimer().isActive(), 1000);
        int kept = bar->value();
        QTest::qWait(200);
        QCOMPARE(bar->value(), kept);
        // Under the available list the panel starts the timer, which stops at its first tick.
        QCursor::setPos(dialog.view(Which::Src)->mapToGlobal(QPoint(5, 0)) +
                        QPoint(0, panel->mapToGlobal(QPoint(0, 5)).y() -
                                      dialog.view(Which::Src)->mapToGlobal(QPoint(5, 0)).y()));
        DragOver(panel, QPoint(5, 5), data.get(), true);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.scrollTimer().isActive(), 1000);
        QCOMPARE(bar->value(), kept);
        dialog.lbEndDrag();
    });
}

BRENVALE_UI_TEST(ui_toolbar_tests, ToolbarDialogTest);
#include "toolbar_dialog_test.moc"
