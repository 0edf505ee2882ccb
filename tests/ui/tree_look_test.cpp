// The tree looks as it always has: pictures of it on two documents are compared with the ones
// kept in tests/ui/looks, taken of the tree view this program had before. Set
// BRENVALE_WRITE_LOOKS=folder to write the pictures there instead (to look at them, or to
// make new references).
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include "test_window.h"
#include "ui/application.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;

namespace {

// The sample document of the screenshot script, and one with deeper levels, a folded Topic
// and every built-in icon.
const char* const kSample =
    "仕事\n\b■報告書を提出する\n\b□会議の準備\n\b□-\n\b□-メモ: 資料は共有フォルダ\n"
    "\t来週@03@\n\t\b□出張の手配\n\t\b□ホテルの予約\n"
    "買い物@07@\n\b□牛乳\n\b■パン\n\b□卵\nごみ箱@04@";
const char* const kDeep =
    "仕事\n\t来週@03@\n\t\t出張@02@\n\t\t\t深い@07@\n\t\t会議\n\t今週\n\t\t電話\n"
    "\t\t\t折り返し\n買い物@07@\n\t牛乳\nごみ箱@05@\n\t空@04@\n謎@06@";

struct Difference {
    int pixels = 0;  // pixels whose colour differs
    QRect where;     // around all of them
};

Difference Compare(const QImage& a, const QImage& b) {
    Difference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++d.pixels;
                d.where |= QRect(x, y, 1, 1);
            }
        }
    }
    return d;
}

}  // namespace

class TreeLookTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void theSampleDocument();
    void deeperLevelsWithAFoldedTopic();

private:
    void check(const QString& name, test::WindowFixture& fixture);
};

void TreeLookTest::initTestCase() {
    SetUpJapanese(*static_cast<QApplication*>(QCoreApplication::instance()));
}

void TreeLookTest::check(const QString& name, test::WindowFixture& fixture) {
    MainWindow& window = fixture.window();
    window.resize(420, 420);
    window.setTreeWidth(160);
    window.tree()->setFocus();
    QApplication::processEvents();
    QImage shown = window.tree()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QByteArray folder = qgetenv("BRENVALE_WRITE_LOOKS");
    if (!folder.isEmpty()) {
        QVERIFY(shown.save(QDir(QString::fromLocal8Bit(folder)).filePath(name + ".png")));
        return;
    }
    QImage kept(QStringLiteral(BRENVALE_LOOKS "/") + name + ".png");
    QVERIFY2(!kept.isNull(), qPrintable(name));
    kept = kept.convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), kept.size());
    // Rows, indentation, buttons and icons in the same places; a pixel or two of the text's
    // rendering may differ.
    Difference d = Compare(shown, kept);
    QVERIFY2(d.pixels * 200 <= shown.width() * shown.height(),
             qPrintable(QStringLiteral("%1: %2 pixels differ in (%3,%4 %5x%6)")
                            .arg(name)
                            .arg(d.pixels)
                            .arg(d.where.x())
                            .arg(d.where.y())
                            .arg(d.where.width())
                            .arg(d.where.height())));
}

void TreeLookTest::theSampleDocument() {
    test::WindowFixture fixture(kSample);
    check(QStringLiteral("sample"), fixture);
}

void TreeLookTest::deeperLevelsWithAFoldedTopic() {
    test::WindowFixture fixture(kDeep);
    Editor& editor = fixture.editor();
    editor.tree().setTopicExpanded(test::Find(editor, test::Sjis("今週")), false);
    editor.tree().selectTopic(test::Find(editor, test::Sjis("出張")));
    check(QStringLiteral("deep"), fixture);
}

BRENVALE_UI_TEST(ui_tree_look_tests, TreeLookTest);
#include "tree_look_test.moc"
