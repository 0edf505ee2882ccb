// Real pointer drags in the toolbar dialog, driven by xdotool on a private X display.
#include <QProcess>
#include <QScrollBar>
#include <QTest>

#include "support/temp_dir.h"
#include "ui/images.h"
#include "ui/toolbar_dialog.h"
#include "ui/toolbar_entry_view.h"
#include "ui_test_registry.h"
#include "ui_test_support.h"

using namespace brenvale;
using Which = ToolbarDialog::Which;

namespace {

QPoint RowOnScreen(ToolbarEntryView* view, int row) {
    return view->viewport()->mapToGlobal(view->visualRect(view->model()->index(row, 0)).center());
}

// Presses the left button at from, moves in steps to each point of path (resting there
// rest milliseconds) and releases at the last one. Runs beside the event loop.
void PointerDrag(QProcess& xdotool, QPoint from, const QList<QPoint>& path, int rest = 0) {
    QStringList args{"mousemove",
                     QString::number(from.x()),
                     QString::number(from.y()),
                     "sleep",
                     "0.2",
                     "mousedown",
                     "1",
                     "sleep",
                     "0.2"};
    QPoint at = from;
    for (const QPoint& to : path) {
        for (int step = 1; step <= 6; ++step) {
            QPoint p = at + (to - at) * step / 6;
            args << "mousemove" << QString::number(p.x()) << QString::number(p.y()) << "sleep"
                 << "0.05";
        }
        args << "sleep" << QString::number(rest / 1000.0);
        at = to;
    }
    args << "sleep"
         << "0.3"
         << "mouseup"
         << "1";
    xdotool.start("xdotool", args);
}

// Waits for the pointer actions to end; whether they all ran.
bool Finished(QProcess& xdotool) {
    if (xdotool.state() != QProcess::NotRunning) {
        xdotool.waitForFinished(10000);
    }
    return xdotool.exitStatus() == QProcess::NormalExit && xdotool.exitCode() == 0;
}

}  // namespace

class ToolbarDragTest : public QObject {
    Q_OBJECT
private slots:
    void dragsBetweenTheListsWithThePointer();
};

void ToolbarDragTest::dragsBetweenTheListsWithThePointer() {
    test::TempDir dir;
    ImageLists images;
    ToolbarDialog dialog(Toolbar::DesignedLayout(), images,
                         QString::fromStdString(dir.file("brenvale.ini")));
    // A window mapped while the window manager is still starting may never be exposed.
    QTRY_VERIFY_WITH_TIMEOUT(QProcess::execute("xdotool", {"get_desktop"}) == 0, 5000);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    QTRY_VERIFY(dialog.isActiveWindow());
    ToolbarEntryView* src = dialog.view(Which::Src);
    ToolbarEntryView* dst = dialog.view(Which::Dst);
    QProcess xdotool;

    // The template (after the commands the toolbar does not show) onto the third shown entry:
    // a copy lands there, the template stays.
    const QStringList available = test::LaterCommandEntries();
    QCOMPARE(test::RowTexts(src), available);
    QModelIndex templateRow = src->model()->index(static_cast<int>(available.size()) - 1, 0);
    src->scrollTo(templateRow);
    PointerDrag(xdotool, RowOnScreen(src, templateRow.row()), {RowOnScreen(dst, 2) - QPoint(0, 6)});
    QTRY_COMPARE_WITH_TIMEOUT(dst->model()->rowCount(), 39, 5000);
    QVERIFY(Finished(xdotool));
    QCOMPARE(test::RowTexts(dst).at(2), QStringLiteral("区切り"));
    QCOMPARE(test::RowTexts(src), available);
    QVERIFY(!dialog.dragging());
    QCOMPARE(dst->dropLine(), std::nullopt);

    // The first shown entry back to the available list.
    src->scrollToTop();
    PointerDrag(xdotool, RowOnScreen(dst, 0), {RowOnScreen(src, 0) + QPoint(0, 30)});
    QTRY_COMPARE_WITH_TIMEOUT(src->model()->rowCount(), static_cast<int>(available.size()) + 1,
                              5000);
    QVERIFY(Finished(xdotool));
    QCOMPARE(test::RowTexts(src).first(), QStringLiteral("(01) 終了"));

    // Resting on the bottom panel below the shown list scrolls it; the drop goes back
    // into the list where the pointer is released.
    QWidget* panel = dialog.bottomPanel();
    QPoint below(RowOnScreen(dst, 0).x(), panel->mapToGlobal(QPoint(0, 6)).y());
    PointerDrag(xdotool, RowOnScreen(dst, 0), {below, RowOnScreen(dst, 1)}, 900);
    QTRY_VERIFY_WITH_TIMEOUT(dst->verticalScrollBar()->value() >= 3, 5000);
    QVERIFY(Finished(xdotool));
    QTRY_VERIFY(!dialog.dragging());
    QStringList shown = test::RowTexts(dst);
    QCOMPARE(shown.size(), 38);
    QCOMPARE(shown.mid(0, 2), (QStringList{"区切り", "(02) 新規作成"}));
    QCOMPARE(shown.count(QStringLiteral("区切り")), 5);
}

BRENVALE_UI_TEST(ui_toolbar_drag_x11_tests, ToolbarDragTest);
#include "toolbar_drag_x11_test.moc"
