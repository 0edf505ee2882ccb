// Other formats, printing and PDF from the window: the menu, the dialogs and the files.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <filesystem>

#include "support/temp_dir.h"
#include "ui/command_actions.h"
#include "ui/main_window.h"
#include "ui/modal_answers.h"
#include "ui/print_options_dialog.h"
#include "ui/window_fixture.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

QAction* ActionOf(MainWindow& window, CommandId id) {
    return window.actions().action(id);
}

// Picks a filter in the next file dialog, types a name and accepts.
void ChooseFileUnder(const QString& filter, const QString& path) {
    test::WhenModal<QFileDialog>([filter, path](QFileDialog* dialog) {
        dialog->selectNameFilter(filter);
        emit dialog->filterSelected(filter);
        dialog->selectFile(path);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// Answers the print options dialog, then runs next (armed for the window after it).
void AnswerPrintOptions(bool whole, bool grey, std::function<void()> next) {
    test::WhenModal<PrintOptionsDialog>([whole, grey, next](PrintOptionsDialog* dialog) {
        (whole ? dialog->wholeButton() : dialog->topicButton())->setChecked(true);
        dialog->greyBox()->setChecked(grey);
        next();
        dialog->accept();
    });
}

}  // namespace

class ExchangeTest : public QObject {
    Q_OBJECT
private slots:
    void theFileMenuOffersTheNewCommands();
    void exportAndImportThroughTheFileDialogs();
    void anImportOfBytesThatAreNotUtf8IsRefusedWithItsPlace();
    void printShowsThePagesInThePreview();
    void pdfIsWrittenAfterTheOptionsAndTheFileName();
    void aPdfShowsItsProgressAndCanBeStopped();
    void aLongPreviewShowsItsFirstPagesAndSaysHowMany();
};

void ExchangeTest::theFileMenuOffersTheNewCommands() {
    test::WindowFixture fixture;
    QMenu* file = fixture.window().menuBar()->actions().first()->menu();
    QStringList texts;
    for (QAction* action : file->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text().section('\t', 0, 0));
    }
    QCOMPARE(texts, (QStringList{"新規作成(&N)", "開く(&O)...", "上書き保存", "名前を付けて保存...",
                                 "テキスト形式で保存...", "-", "インポート...", "エクスポート...",
                                 "-", "印刷...", "PDF に書き出し...", "-", "終了"}));
    QVERIFY(!ActionOf(fixture.window(), CommandId::Export)->icon().isNull());
    QVERIFY(!ActionOf(fixture.window(), CommandId::ExportPdf)->icon().isNull());
}

void ExchangeTest::exportAndImportThroughTheFileDialogs() {
    test::WindowFixture fixture("仕事\n\b■報告書\n\t来週@03@\n\t\b□出張");
    MainWindow& window = fixture.window();
    // A name typed without extension takes the chosen filter's.
    QString out = QString::fromStdString(fixture.dir().file("out"));
    ChooseFileUnder(QStringLiteral("OPML (*.opml)"), out);
    ActionOf(window, CommandId::Export)->trigger();
    std::string opml = test::ReadBytes(fixture.dir().file("out.opml"));
    QVERIFY(opml.find("<outline text=\"報告書\" _status=\"checked\"") != std::string::npos);

    ChooseFileUnder(QStringLiteral("OPML (*.opml)"), out + ".opml");
    ActionOf(window, CommandId::Import)->trigger();
    Editor& editor = window.editor();
    QCOMPARE(editor.document().topLevelCount(), size_t{2});
    QCOMPARE(editor.selection().topic(), editor.document().topLevel(1));
    QCOMPARE(editor.document().topLevel(1)->child(0)->icon, 3);
    QCOMPARE(window.treeEdit()->text(), QStringLiteral("仕事"));
    QVERIFY(editor.session().isModified());
    ActionOf(window, CommandId::Undo)->trigger();
    QCOMPARE(editor.document().topLevelCount(), size_t{1});
}

void ExchangeTest::anImportOfBytesThatAreNotUtf8IsRefusedWithItsPlace() {
    test::WindowFixture fixture("仕事");
    test::WriteBytes(fixture.dir().file("bad.md"), "# a\n- [ ] 😀\xFF\n");
    ChooseFileUnder(QStringLiteral("Markdown (*.md *.markdown)"),
                    QString::fromStdString(fixture.dir().file("bad.md")));
    QString text;
    test::Answer(QStringLiteral("OK"), &text);
    ActionOf(fixture.window(), CommandId::Import)->trigger();
    QCOMPARE(text, QStringLiteral("「bad.md」を読み込めません。何も変更していません。\n"
                                  "UTF-8 として読めないバイト: 0xFF (2 行 8 桁)"));
    QCOMPARE(fixture.editor().document().topicCount(), size_t{1});
    QVERIFY(!fixture.editor().session().isModified());
}

void ExchangeTest::printShowsThePagesInThePreview() {
    std::string outline = "仕事\n\b■報告書\n\t来週\n";
    for (int i = 0; i < 80; ++i) {
        outline += "\t\b□項目" + std::to_string(i) + "\n";
    }
    test::WindowFixture fixture(outline);
    int pages = 0;
    AnswerPrintOptions(true, true, [&pages] {
        test::WhenModal<QPrintPreviewDialog>([&pages](QPrintPreviewDialog* preview) {
            auto* widget = preview->findChild<QPrintPreviewWidget*>();
            QVERIFY(widget);
            pages = widget->pageCount();
            preview->reject();
        });
    });
    ActionOf(fixture.window(), CommandId::Print)->trigger();
    QVERIFY(pages >= 2);
}

void ExchangeTest::pdfIsWrittenAfterTheOptionsAndTheFileName() {
    test::WindowFixture fixture("仕事\n\b■報告書\n\t来週\n\t\b□出張");
    QString path = QString::fromStdString(fixture.dir().file("doc.pdf"));
    // The dialog offers only the selected Topic when one is selected; the whole document is
    // chosen here, and the file name the dialog suggests is taken.
    AnswerPrintOptions(false, false, [path] { test::ChooseFile(path); });
    ActionOf(fixture.window(), CommandId::ExportPdf)->trigger();
    std::string pdf = test::ReadBytes(path.toStdString());
    QVERIFY(pdf.starts_with("%PDF-"));
    QVERIFY(!fixture.editor().session().isModified());
}

namespace {

std::string LongOutline(int items) {
    std::string outline = "仕事\n";
    for (int i = 0; i < items; ++i) {
        outline += "\b□項目" + std::to_string(i) + "\n";
    }
    return outline;
}

}  // namespace

// A long PDF shows its progress while the window goes on answering (the timers that watch
// for the dialog run meanwhile), and its "キャンセル" stops it: no PDF and nothing else is
// left in the folder, the document stays as it was, and the hint panel says so.
void ExchangeTest::aPdfShowsItsProgressAndCanBeStopped() {
    // Long enough that its pages take far longer than the dialog's wait before it shows.
    constexpr int kItems = 120000;
    test::WindowFixture fixture(LongOutline(kItems));
    QString path = QString::fromStdString(fixture.dir().file("long.pdf"));
    int progressSeen = -1;
    int progressMaximum = 0;
    AnswerPrintOptions(true, false, [path, &progressSeen, &progressMaximum] {
        test::ChooseFile(path);
        test::WhenModal<QProgressDialog>([&](QProgressDialog* progress) {
            progressMaximum = progress->maximum();
            progressSeen = progress->value();
            progress->cancel();
        });
    });
    const auto before = std::filesystem::directory_iterator(fixture.dir().path());
    std::vector<std::string> files;
    for (const auto& entry : before) {
        files.push_back(entry.path().filename().string());
    }
    ActionOf(fixture.window(), CommandId::ExportPdf)->trigger();
    // Stopped part of the way: the pages were still being counted or painted.
    QVERIFY(progressSeen >= 0);
    QVERIFY(progressSeen < progressMaximum);
    QVERIFY(!std::filesystem::exists(path.toStdString()));
    std::vector<std::string> after;
    for (const auto& entry : std::filesystem::directory_iterator(fixture.dir().path())) {
        after.push_back(entry.path().filename().string());
    }
    std::sort(files.begin(), files.end());
    std::sort(after.begin(), after.end());
    QCOMPARE(after, files);
    QCOMPARE(QString::fromStdString(fixture.editor().hintText()),
             QStringLiteral("PDF の書き出しを中止しました。「long.pdf」は書き出していません"));
    QCOMPARE(fixture.editor().document().first()->items.size(), size_t{kItems});
}

// The preview keeps only its first pages (each one it shows is kept whole) and says how many
// the print has.
void ExchangeTest::aLongPreviewShowsItsFirstPagesAndSaysHowMany() {
    test::WindowFixture fixture(LongOutline(7000));
    int pages = 0;
    QString title;
    AnswerPrintOptions(true, false, [&pages, &title] {
        test::WhenModal<QPrintPreviewDialog>([&pages, &title](QPrintPreviewDialog* preview) {
            auto* widget = preview->findChild<QPrintPreviewWidget*>();
            QVERIFY(widget);
            pages = widget->pageCount();
            title = preview->windowTitle();
            preview->reject();
        });
    });
    ActionOf(fixture.window(), CommandId::Print)->trigger();
    QCOMPARE(pages, 100);
    QVERIFY2(title.contains(QStringLiteral("ページのうち最初の 100 ページ")), qPrintable(title));
}

BRENVALE_UI_TEST(ui_exchange_tests, ExchangeTest);
#include "exchange_test.moc"
