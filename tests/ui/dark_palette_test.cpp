// The views on a dark desktop: dark counterparts of the default pastels unless the settings
// hold the user's colours, following the desktop's palette while the program runs.
#include <QApplication>
#include <QLineEdit>
#include <QPalette>
#include <QTest>

#include "dark_palette.h"
#include "settings/colour_scheme.h"
#include "support/main_window_test_access.h"
#include "support/temp_dir.h"
#include "ui/check_list_view.h"
#include "ui/colours.h"
#include "ui/counter_panel.h"
#include "ui/test_window.h"
#include "ui/topic_tree_view.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

QColor BaseOf(QWidget* widget) {
    return widget->palette().color(QPalette::Base);
}

QColor TextColourOf(QWidget* widget) {
    return widget->palette().color(QPalette::Text);
}

}  // namespace

class DarkPaletteTest : public QObject {
    Q_OBJECT
private slots:
    void init() { light_ = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(light_); }
    void theViewsFollowTheDesktopsPalette();
    void chosenColoursStayAsChosen();
    void separatorsAndTheInsertionLineShowOnDarkLists();

private:
    QPalette light_;
};

void DarkPaletteTest::theViewsFollowTheDesktopsPalette() {
    test::TempDir dir;
    auto window = test::MakeWindow(dir);
    const ViewColours light;
    QCOMPARE(BaseOf(window->tree()), ToQColor(light.treeBack));
    QCOMPARE(TextColourOf(window->tree()), ToQColor(light.treeText));
    QCOMPARE(BaseOf(window->list()), ToQColor(light.listBack));
    QCOMPARE(MainWindowTestAccess::treeCounter(*window)->colours(), TreeCounterColours(false));

    // The desktop turns dark while the program runs.
    QApplication::setPalette(test::DarkDesktopPalette());
    const ViewColours dark = DarkDefaultColours();
    QTRY_COMPARE(BaseOf(window->tree()), ToQColor(dark.treeBack));
    QCOMPARE(TextColourOf(window->tree()), ToQColor(dark.treeText));
    QCOMPARE(BaseOf(window->list()), ToQColor(dark.listBack));
    QCOMPARE(TextColourOf(window->list()), ToQColor(dark.listText));
    // The edit boxes take their views' colours, so their text stays readable.
    QCOMPARE(BaseOf(window->treeEdit()), ToQColor(dark.treeBack));
    QCOMPARE(TextColourOf(window->treeEdit()), ToQColor(dark.treeText));
    QCOMPARE(BaseOf(window->listEdit()), ToQColor(dark.listBack));
    QCOMPARE(TextColourOf(window->listEdit()), ToQColor(dark.listText));
    QCOMPARE(MainWindowTestAccess::treeCounter(*window)->colours(), TreeCounterColours(true));
    QCOMPARE(MainWindowTestAccess::listCounter(*window)->colours(), ListCounterColours(true));
    // What the options dialog shows as the views' colours.
    QCOMPARE(window->viewColours().listBack, dark.listBack);

    // And light again.
    QApplication::setPalette(light_);
    QTRY_COMPARE(BaseOf(window->list()), ToQColor(light.listBack));
    QCOMPARE(TextColourOf(window->treeEdit()), ToQColor(light.treeText));
    QCOMPARE(MainWindowTestAccess::listCounter(*window)->colours(), ListCounterColours(false));
}

void DarkPaletteTest::chosenColoursStayAsChosen() {
    test::TempDir dir;
    // The tree's colours are the user's (one key is enough); the list's are not.
    test::WriteBytes(dir.file("brenvale.ini"), "[Tree]\r\nTreeColor=clWhite\r\n");
    QApplication::setPalette(test::DarkDesktopPalette());
    auto window = test::MakeWindow(dir);
    QCOMPARE(BaseOf(window->tree()), QColor(Qt::white));
    QCOMPARE(TextColourOf(window->tree()), ToQColor(ViewColours{}.treeText));
    QCOMPARE(BaseOf(window->list()), ToQColor(DarkDefaultColours().listBack));

    // A colour the options dialog applies is kept when the desktop changes.
    window->setViewColour(ViewColour::ListText, 0x0000FFFF);
    QApplication::setPalette(light_);
    QTRY_COMPARE(TextColourOf(window->list()), QColor(Qt::yellow));
    QCOMPARE(BaseOf(window->list()), ToQColor(DarkDefaultColours().listBack));
    QCOMPARE(BaseOf(window->tree()), QColor(Qt::white));
}

void DarkPaletteTest::separatorsAndTheInsertionLineShowOnDarkLists() {
    test::TempDir dir;
    QApplication::setPalette(test::DarkDesktopPalette());
    test::WriteBytes(dir.file("doc.bnv"), "Topic@00@\r\n\b\x81\xA0-\r\n");
    auto window = test::MakeWindow(dir, {QString::fromStdString(dir.file("doc.bnv"))});
    CheckListView* list = window->list();
    QTRY_COMPARE(BaseOf(list), ToQColor(DarkDefaultColours().listBack));
    QImage shown = list->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect row = list->visualRect(list->model()->index(0, 0));
    const int mid = row.top() + 15 / 2;
    const int x = row.left() + list->viewport()->width() / 2;
    const SeparatorLines lines = SeparatorLinesOn(DarkDefaultColours().listBack);
    QCOMPARE(shown.pixelColor(x, mid), ToQColor(lines.middle));
    QCOMPARE(shown.pixelColor(x, mid - 1), ToQColor(lines.outer));
    QCOMPARE(shown.pixelColor(x, mid + 3), ToQColor(DarkDefaultColours().listBack));
}

BRENVALE_UI_TEST(ui_dark_palette_tests, DarkPaletteTest);

#include "dark_palette_test.moc"
