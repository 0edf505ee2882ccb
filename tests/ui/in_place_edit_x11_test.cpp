// Through the X server with a window manager, as a user works: a real double click edits an
// Item in place, and the shortcut key and toolbar dialogs open wide enough for their lists and
// at the size they were left with.
#include <QApplication>
#include <QHeaderView>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include "modal_answers.h"
#include "settings/dialog_size.h"
#include "ui/check_list_delegate.h"
#include "ui/check_list_view.h"
#include "ui/item_text_editor.h"
#include "ui/shortcut_key_dialog.h"
#include "ui/toolbar_dialog.h"
#include "ui/toolbar_entry_view.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;

namespace {

bool Xdotool(const QStringList& arguments) {
    return QProcess::execute("xdotool", arguments) == 0;
}

// Clicks of the real pointer at a point of a widget, 80 ms apart (a double click for two).
bool XdotoolClick(QWidget* widget, QPoint at, int clicks = 1) {
    QPoint global = widget->mapToGlobal(at);
    return Xdotool({"mousemove", QString::number(global.x()), QString::number(global.y()), "sleep",
                    "0.1", "click", "--repeat", QString::number(clicks), "--delay", "80", "1"});
}

QPoint OnText(CheckListView* list, int row) {
    QRect r = list->visualRect(list->model()->index(row, 0));
    return {r.left() + CheckListDelegate::boxColumnWidth(list) + 15, r.center().y()};
}

QPoint OnBox(CheckListView* list, int row) {
    QRect r = list->visualRect(list->model()->index(row, 0));
    return {r.left() + CheckListDelegate::boxColumnWidth(list) / 2, r.center().y()};
}

// The dialog's frame lies wholly on its screen.
bool OnScreen(QWidget* dialog) {
    return dialog->screen()->availableGeometry().contains(dialog->frameGeometry());
}

}  // namespace

class InPlaceEditX11Test : public QObject {
    Q_OBJECT
private slots:
    void aRealDoubleClickEditsTheItemAndAClickElsewhereStoresIt();
    void theSettingsDialogsShowTheirListsWholeAndKeepTheirSize();
};

void InPlaceEditX11Test::aRealDoubleClickEditsTheItemAndAClickElsewhereStoresIt() {
    test::WindowFixture fixture("仕事\n\b□報告書\n\b■会議\n買い物");
    QVERIFY(fixture.exposed());
    QVERIFY(fixture.activate());
    MainWindow& window = fixture.window();
    CheckListView* list = window.list();

    QVERIFY(XdotoolClick(list->viewport(), OnText(list, 1), 2));
    QTRY_VERIFY(list->rowEditor());
    ItemTextEditor* box = list->rowEditor();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box));
    QCOMPARE(box->selectedText(), QStringLiteral("会議"));
    QVERIFY(Xdotool({"type", "--delay", "30", "meeting"}));
    QTRY_COMPARE(box->text(), QStringLiteral("meeting"));
    QVERIFY(Xdotool({"key", "Return"}));
    QTRY_VERIFY(!list->rowEditor());
    QCOMPARE(fixture.editor().list().rowText(0), test::Sjis("報告書"));
    QCOMPARE(test::Rows(fixture.editor()).last(), QStringLiteral("meeting*"));

    // Opened again, a click on the tree stores what was typed.
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    QVERIFY(XdotoolClick(list->viewport(), OnText(list, 0), 2));
    QTRY_VERIFY(list->rowEditor());
    QVERIFY(Xdotool({"key", "End", "type", "--delay", "30", "!"}));
    QTRY_COMPARE(list->rowEditor()->text(), QStringLiteral("報告書!"));
    QVERIFY(XdotoolClick(window.tree()->viewport(), QPoint(10, 5)));
    QTRY_VERIFY(!list->rowEditor());
    QCOMPARE(fixture.editor().list().rowText(0), test::Sjis("報告書!"));
    QCOMPARE(fixture.editor().history().undoCount(), size_t(2));

    // A double click on a box is two clicks: the tick flips twice and nothing is edited.
    fixture.editor().session().setModified(false);
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    QVERIFY(XdotoolClick(list->viewport(), OnBox(list, 1), 2));
    QTRY_VERIFY(fixture.editor().session().isModified());
    QTest::qWait(QApplication::doubleClickInterval());
    QVERIFY(!list->rowEditor());
    QCOMPARE(test::Rows(fixture.editor()).last(), QStringLiteral("meeting*"));
}

void InPlaceEditX11Test::theSettingsDialogsShowTheirListsWholeAndKeepTheirSize() {
    test::WindowFixture fixture("仕事");
    QVERIFY(fixture.exposed());
    QVERIFY(fixture.activate());
    MainWindow& window = fixture.window();
    const std::string settings = fixture.dir().file("brenvale.ini");

    // The shortcut key dialog: every text whole, no sideways scrolling.
    QSize keysLeft;
    test::WhenModal<ShortcutKeyDialog>([&](ShortcutKeyDialog* dialog) {
        // Checked in a lambda of their own: a failed check still closes the dialog.
        [&] {
            QTRY_VERIFY(dialog->isVisible());
            QTest::qWait(200);
            QVERIFY(OnScreen(dialog));
            QTreeView* view = dialog->keyView();
            QCOMPARE(view->horizontalScrollBar()->maximum(), 0);
            for (int column = 0; column < 4; ++column) {
                for (int row = 0; row < view->model()->rowCount(); ++row) {
                    QString text = view->model()->index(row, column).data().toString();
                    QVERIFY2(!text.contains(QLatin1Char('&')), qPrintable(text));
                    QVERIFY2(view->fontMetrics().horizontalAdvance(text) <
                                 view->header()->sectionSize(column),
                             qPrintable(text));
                }
            }
            keysLeft = dialog->size() + QSize(60, 40);
            dialog->resize(keysLeft);
        }();
        dialog->reject();
    });
    window.showShortcutKeyDialog();
    QCOMPARE(ReadDialogSize(settings, kShortcutKeyDialogSection),
             (std::optional(DialogSize{keysLeft.width(), keysLeft.height()})));
    test::WhenModal<ShortcutKeyDialog>([&](ShortcutKeyDialog* dialog) {
        // Checked in a lambda of their own: a failed check still closes the dialog.
        [&] {
            QTRY_VERIFY(dialog->isVisible());
            QCOMPARE(dialog->size(), keysLeft);
        }();
        dialog->reject();
    });
    window.showShortcutKeyDialog();

    // The toolbar dialog: both lists show the longest entry whole.
    QSize toolsLeft;
    test::WhenModal<ToolbarDialog>([&](ToolbarDialog* dialog) {
        // Checked in a lambda of their own: a failed check still closes the dialog.
        [&] {
            QTRY_VERIFY(dialog->isVisible());
            QTest::qWait(200);
            QVERIFY(OnScreen(dialog));
            for (auto which : {ToolbarDialog::Which::Src, ToolbarDialog::Which::Dst}) {
                ToolbarEntryView* view = dialog->view(which);
                const int room = view->viewport()->width() - ToolbarEntryDelegate::kTextLeft;
                for (const ToolbarEntry& entry : dialog->lists().src().entries()) {
                    QString text = QString::fromStdString(entry.text);
                    QVERIFY2(!text.contains(QLatin1Char('&')), qPrintable(text));
                    QVERIFY2(view->fontMetrics().horizontalAdvance(text) < room, qPrintable(text));
                }
            }
            toolsLeft = dialog->size() + QSize(30, 50);
            dialog->resize(toolsLeft);
        }();
        dialog->reject();
    });
    window.showToolbarDialog();
    test::WhenModal<ToolbarDialog>([&](ToolbarDialog* dialog) {
        // Checked in a lambda of their own: a failed check still closes the dialog.
        [&] {
            QTRY_VERIFY(dialog->isVisible());
            QCOMPARE(dialog->size(), toolsLeft);
        }();
        dialog->reject();
    });
    window.showToolbarDialog();
}

BRENVALE_UI_TEST(ui_in_place_edit_x11_tests, InPlaceEditX11Test);

#include "in_place_edit_x11_test.moc"
