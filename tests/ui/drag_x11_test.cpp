// Real mouse drags through the X server: the pointer events enter Qt as the platform's own,
// so the platform's drag loop runs as it does for a user.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <deque>
#include <functional>

#include "support/main_window_test_access.h"
#include "ui/check_list_view.h"
#include "ui/drag_scroll_timer.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;
using test::PointOn;
using test::RowPart;
using test::Shape;

namespace {

// Steps of the pointer, each run from a timer of its own so that the steps go on while the
// platform's drag loop runs inside the move that started the drag.
class PointerScript {
public:
    explicit PointerScript(QWindow* window) : window_(window) {}

    void press(QPoint at) {
        add([this, at] { QTest::mousePress(window_, Qt::LeftButton, {}, at); });
    }
    // Moves to `to` in steps of a few pixels, as a hand does.
    void moveTo(QPoint from, QPoint to, int steps) {
        for (int i = 1; i <= steps; ++i) {
            QPoint at = from + (to - from) * i / steps;
            add([this, at] { QTest::mouseMove(window_, at); });
        }
    }
    void release(QPoint at) {
        add([this, at] { QTest::mouseRelease(window_, Qt::LeftButton, {}, at); });
    }
    void key(Qt::Key key) {
        add([this, key] { QTest::keyClick(window_, key); });
    }
    // Waits until the condition holds; after five seconds the script gives up.
    void waitFor(std::function<bool()> condition) { steps_.push_back({{}, std::move(condition)}); }

    void start() {
        clock_.start();
        QTimer::singleShot(0, &timers_, [this] { next(); });
    }
    bool finished() const { return steps_.empty(); }
    bool timedOut() const { return timedOut_; }

private:
    struct Step {
        std::function<void()> action;
        std::function<bool()> condition;
    };
    void add(std::function<void()> action) { steps_.push_back({std::move(action), {}}); }

    void next() {
        if (steps_.empty()) {
            return;
        }
        Step step = steps_.front();
        if (step.condition && !step.condition()) {
            if (clock_.elapsed() > 5000) {
                timedOut_ = true;
                steps_.clear();
                // Let go of the button, so a drag still running ends.
                QTest::mouseRelease(window_, Qt::LeftButton);
                return;
            }
            QTimer::singleShot(10, &timers_, [this] { next(); });
            return;
        }
        steps_.pop_front();
        // The next step is armed before this one runs: a move that starts the drag returns
        // only when the drag has ended.
        QTimer::singleShot(10, &timers_, [this] { next(); });
        if (step.action) {
            step.action();
        }
    }

    QWindow* window_;
    std::deque<Step> steps_;
    QElapsedTimer clock_;
    bool timedOut_ = false;
    // The context of the pending step timers: a script that has gone fires none of them.
    QObject timers_;
};

// Another program's window that takes dropped text, in this process for the test's sake.
class TextTarget : public QWidget {
public:
    TextTarget() { setAcceptDrops(true); }
    QString received;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasText()) {
            event->acceptProposedAction();
        }
    }
    void dropEvent(QDropEvent* event) override {
        received = event->mimeData()->text();
        event->acceptProposedAction();
    }
};

// The cursor the drag shows now: "drag" for the program's drag cursor, "no-drop" for the
// standard one over a target that refuses the drop.
QString DragCursorShown() {
    QCursor* cursor = QGuiApplication::overrideCursor();
    if (!cursor) {
        return "none";
    }
    if (cursor->shape() == Qt::BitmapCursor) {
        // The arrow's tip, its top left pixel, is the hot spot.
        QImage image = cursor->pixmap().toImage();
        QPoint hot = cursor->hotSpot();
        bool tip =
            image.pixelColor(hot).alpha() > 0 && image.pixelColor(hot - QPoint(1, 1)).alpha() == 0;
        return tip ? "drag" : "drag cursor off its tip";
    }
    return cursor->shape() == Qt::ForbiddenCursor ? "no-drop" : "another cursor";
}

// Whether a drag image shows: any visible window of the program beside the main window that
// is more than a pixel.
bool DragImageShown(QWindow* main) {
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (window != main && window->isVisible() && window->width() * window->height() > 1) {
            return true;
        }
    }
    return false;
}

}  // namespace

class DragX11Test : public QObject {
    Q_OBJECT
private slots:
    void aTopicDraggedOntoACaptionBecomesItsLastChild();
    void anItemDraggedDownLandsAfterTheHoveredRow();
    void aDragOutOfTheWindowCarriesPlainTextAndMovesNothing();
    void escCancelsADrag();

private:
    // The window's point of a point in a widget.
    static QPoint InWindow(QWidget* widget, QPoint at) {
        return widget->mapTo(widget->window(), at);
    }
    // Presses at `from` and moves away in small steps until the drag has begun.
    static void BeginDrag(PointerScript& script, const Editor& editor, QPoint from, QPoint away) {
        script.press(from);
        script.moveTo(from, away, 5);
        script.waitFor([&editor] { return editor.drag().state().active(); });
    }
    // Runs the script to its end and waits for the drag to be over.
    static bool Run(PointerScript& script, const Editor& editor) {
        script.start();
        return QTest::qWaitFor([&] { return script.finished(); }, 10000) && !script.timedOut() &&
               QTest::qWaitFor([&] { return !editor.drag().state().active(); });
    }
};

void DragX11Test::aTopicDraggedOntoACaptionBecomesItsLastChild() {
    test::WindowFixture fixture("A\nB\nC");
    MainWindow& window = fixture.window();
    Editor& editor = fixture.editor();
    QVERIFY(fixture.exposed());
    QVERIFY(fixture.activate());
    TopicTreeView* tree = window.tree();
    Topic* a = editor.document().first();
    Topic* c = editor.document().lastTopLevel();
    QPoint from = InWindow(tree->viewport(), PointOn(tree, c, RowPart::Caption));
    QPoint away = from + QPoint(0, -20);
    QPoint to = InWindow(tree->viewport(), PointOn(tree, a, RowPart::Caption));
    QPoint overList = InWindow(window.list()->viewport(), QPoint(40, 40));
    QString hintDuringDrag;
    bool imageShown = true;

    PointerScript script(window.windowHandle());
    BeginDrag(script, editor, from, away);
    // A Topic is refused over the list.
    script.moveTo(away, overList, 4);
    script.waitFor([&] { return DragCursorShown() == "no-drop"; });
    script.moveTo(overList, to, 4);
    script.waitFor([&] {
        hintDuringDrag = MainWindowTestAccess::hintPanel(window)->text();
        imageShown = DragImageShown(window.windowHandle());
        return DragCursorShown() == "drag" && !tree->toolTipsShown();
    });
    script.release(to);
    QVERIFY(Run(script, editor));

    QCOMPARE(Shape(editor), (QStringList{"A/0", "C/1", "B/0"}));
    QCOMPARE(editor.selection().topic(), c);
    QCOMPARE(hintDuringDrag,
             QStringLiteral("[\"C\" 移動中] 移動先にドロップして下さい (Escキーでキャンセル)"));
    QVERIFY(!imageShown);
    QCOMPARE(MainWindowTestAccess::hintPanel(window)->text(), QString());
    QVERIFY(tree->toolTipsShown());
    QVERIFY(editor.session().isModified());
}

void DragX11Test::anItemDraggedDownLandsAfterTheHoveredRow() {
    test::WindowFixture fixture("T\n\b□r0\n\b■r1\n\b□r2\n\b□r3\n\b□r4");
    MainWindow& window = fixture.window();
    Editor& editor = fixture.editor();
    QVERIFY(fixture.exposed());
    QVERIFY(fixture.activate());
    CheckListView* list = window.list();
    auto onRow = [&](int row) {
        return InWindow(list->viewport(), list->visualRect(list->model()->index(row, 0)).center());
    };
    editor.selectRow(0);
    QPoint from = onRow(0);
    QPoint away = from + QPoint(20, 0);
    QPoint to = onRow(3);
    bool lineShown = false;

    PointerScript script(window.windowHandle());
    BeginDrag(script, editor, from, away);
    script.moveTo(away, to, 6);
    script.waitFor([&] { return lineShown = editor.drag().state().insertionRow == 4; });
    script.release(to);
    QVERIFY(Run(script, editor));

    QVERIFY(lineShown);
    QCOMPARE(test::Rows(editor), (QStringList{"r1*", "r2", "r3", "r0", "r4"}));
    QCOMPARE(editor.list().selectedRow(), 3);
    QCOMPARE(editor.drag().state().insertionRow, -1);
}

void DragX11Test::aDragOutOfTheWindowCarriesPlainTextAndMovesNothing() {
    test::WindowFixture fixture("A\nB\nC\n\b■x");
    MainWindow& window = fixture.window();
    Editor& editor = fixture.editor();
    QVERIFY(fixture.exposed());
    TextTarget other;
    other.setWindowTitle(QStringLiteral("other program"));
    other.setGeometry(0, 0, 180, 120);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.move(0, 0);
    QTRY_VERIFY(!window.frameGeometry().intersects(other.frameGeometry()));
    QVERIFY(fixture.activate());
    TopicTreeView* tree = window.tree();
    Topic* c = editor.document().lastTopLevel();
    editor.tree().selectTopic(c);
    editor.session().setModified(false);
    QPoint from = InWindow(tree->viewport(), PointOn(tree, c, RowPart::Caption));
    QPoint away = from + QPoint(0, -20);
    QPoint to = window.mapFromGlobal(other.mapToGlobal(other.rect().center()));

    PointerScript script(window.windowHandle());
    BeginDrag(script, editor, from, away);
    script.moveTo(away, to, 8);
    script.waitFor([&] { return DragCursorShown() == "drag"; });
    script.release(to);
    QVERIFY(Run(script, editor));

    QCOMPARE(other.received, QStringLiteral("C@00@\r\n\b■x\r\n"));
    QCOMPARE(Shape(editor), (QStringList{"A/0", "B/0", "C/0"}));
    QCOMPARE(editor.list().rowCount(), size_t(1));
    QVERIFY(!editor.session().isModified());
}

void DragX11Test::escCancelsADrag() {
    test::WindowFixture fixture("A\nB\nC");
    MainWindow& window = fixture.window();
    Editor& editor = fixture.editor();
    QVERIFY(fixture.exposed());
    QVERIFY(fixture.activate());
    TopicTreeView* tree = window.tree();
    QPoint from = InWindow(tree->viewport(),
                           PointOn(tree, editor.document().lastTopLevel(), RowPart::Caption));
    QPoint away = from + QPoint(0, -30);

    PointerScript script(window.windowHandle());
    BeginDrag(script, editor, from, away);
    script.key(Qt::Key_Escape);
    script.waitFor([&] { return !editor.drag().state().active(); });
    script.release(away);
    QVERIFY(Run(script, editor));

    QCOMPARE(Shape(editor), (QStringList{"A/0", "B/0", "C/0"}));
    // The drag's hint is gone; the status tip of a part ("[...] ...") may take its place once
    // the window hears where the pointer rests.
    const QString hint = MainWindowTestAccess::hintPanel(window)->text();
    QVERIFY2(hint.isEmpty() || hint.startsWith(QLatin1Char('[')), qPrintable(hint));
    QVERIFY(!editor.session().isModified());
    QVERIFY(!MainWindowTestAccess::dragScrollTimer(window)->isActive());
}

BRENVALE_UI_TEST(ui_drag_x11_tests, DragX11Test);
#include "drag_x11_test.moc"
