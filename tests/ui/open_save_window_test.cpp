// Open and save in the window with files that are not what they seem: a picture Qt wrote, a
// Markdown file, a save past the file size limit, and a document too big for the memory the
// window may take.
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <sys/resource.h>

#include <filesystem>

#include "modal_answers.h"
#include "support/temp_dir.h"
#include "ui/command_actions.h"
#include "ui/main_window.h"
#include "ui_test_registry.h"
#include "window_fixture.h"

using namespace brenvale;

namespace {

QStringList ButtonTexts(QMessageBox* box) {
    QStringList texts;
    for (QAbstractButton* b : box->buttons()) {
        texts << b->text();
    }
    texts.sort();
    return texts;
}

// AddressSanitizer reserves more address space at its start than the limits below allow.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// What the window in a process of its own printed (see window_open_child.cpp).
struct ChildRun {
    int exitCode = -1;
    bool crashed = true;
    long beforeKb = 0;
    long afterKb = 0;
    QStringList messages;
    QString state;
};

ChildRun RunChild(const QString& folder, const QStringList& arguments, long limitKb) {
    QProcess child;
    QString program = QStringLiteral(WINDOW_OPEN_CHILD);
    QStringList args = QStringList{folder} + arguments;
    if (limitKb > 0) {
        args.prepend(program);
        args.prepend(QStringLiteral("--as=%1").arg(limitKb * 1024));
        program = QStringLiteral("prlimit");
    }
    child.start(program, args);
    ChildRun run;
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        return run;
    }
    run.crashed = child.exitStatus() != QProcess::NormalExit;
    run.exitCode = child.exitCode();
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split('\n')) {
        if (line.startsWith(QStringLiteral("before: "))) {
            run.beforeKb = line.mid(8).toLong();
        } else if (line.startsWith(QStringLiteral("after: "))) {
            run.afterKb = line.mid(7).toLong();
        } else if (line.startsWith(QStringLiteral("message: "))) {
            run.messages << line.mid(9);
        } else if (line.startsWith(QStringLiteral("state: "))) {
            run.state = line.mid(7);
        }
    }
    return run;
}

// A file size limit that leaves SIGXFSZ as the program has it, restored at the end.
class FileSizeRlimit {
public:
    explicit FileSizeRlimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeRlimit() { ::setrlimit(RLIMIT_FSIZE, &old_); }

private:
    rlimit old_{};
};

}  // namespace

class OpenSaveWindowTest : public QObject {
    Q_OBJECT
private slots:
    void aPictureIsRefusedAndTheDocumentStays();
    void aMarkdownFileIsOfferedForImportWithItsOwnButtons();
    void aSavePastTheFileSizeLimitOffersAnotherName();
    void aDocumentTooBigForTheMemoryLeavesTheOpenOneWhole();
};

void OpenSaveWindowTest::aPictureIsRefusedAndTheDocumentStays() {
    test::WindowFixture fixture("Work\n\b□報告書");
    const std::string plan = fixture.editor().session().fileName();
    const QString png = QString::fromStdString(fixture.dir().file("photo.png"));
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(png, "PNG"));
    const QByteArray before = [&] {
        QFile f(png);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    QString text;
    test::ChooseFile(png);
    test::Answer(QStringLiteral("OK"), &text);
    fixture.window().actions().action(CommandId::Open)->trigger();
    QTRY_VERIFY(!text.isEmpty());
    QCOMPARE(text, QStringLiteral("「%1」は文書ではありません（PNG 画像）。").arg(png));
    QCOMPARE(fixture.editor().session().fileName(), plan);
    QCOMPARE(test::Shape(fixture.editor()), QStringList{"Work/0"});
    QCOMPARE(fixture.editor().session().recentFiles().size(), size_t(1));
    QFile after(png);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), before);
}

void OpenSaveWindowTest::aMarkdownFileIsOfferedForImportWithItsOwnButtons() {
    test::WindowFixture fixture("Work");
    const std::string md = fixture.dir().file("list.md");
    test::WriteBytes(md, "# Trip\n- [ ] 切符\n");
    QStringList buttons;
    QString defaultButton;
    test::WhenModal<QMessageBox>([&](QMessageBox* box) {
        buttons = ButtonTexts(box);
        defaultButton = box->defaultButton()->text();
        test::Press(box, QStringLiteral("インポート"));
    });
    fixture.editor().files().filesDropped({md});
    QTRY_VERIFY(!buttons.isEmpty());
    QCOMPARE(buttons, (QStringList{"インポート", "キャンセル", "文書として開く"}));
    QCOMPARE(defaultButton, QStringLiteral("インポート"));
    QCOMPARE(test::Shape(fixture.editor()), (QStringList{"Work/0", "Trip/0"}));
    QVERIFY(fixture.editor().session().fileName() != md);
}

void OpenSaveWindowTest::aSavePastTheFileSizeLimitOffersAnotherName() {
    test::WindowFixture fixture("仕事\n\b□報告書");
    const std::string plan = fixture.editor().session().fileName();
    const std::string before = test::ReadBytes(plan);
    fixture.editor().editTextChanged(EditBox::Tree, "会議");
    QString text;
    QStringList buttons;
    test::WhenModal<QMessageBox>([&](QMessageBox* box) {
        text = box->text();
        buttons = ButtonTexts(box);
        test::Press(box, QStringLiteral("キャンセル"));
    });
    {
        // Without SIGXFSZ ignored, this write would end the program.
        FileSizeRlimit limit(16);
        fixture.window().actions().action(CommandId::Save)->trigger();
    }
    QTRY_VERIFY(!text.isEmpty());
    QVERIFY2(text.contains(QStringLiteral("File too large")), qPrintable(text));
    QVERIFY(text.endsWith(QStringLiteral("「別名で保存」で別の場所に保存できます。")));
    QCOMPARE(buttons, (QStringList{"キャンセル", "別名で保存"}));
    QVERIFY(fixture.editor().session().isModified());
    QCOMPARE(test::ReadBytes(plan), before);
}

void OpenSaveWindowTest::aDocumentTooBigForTheMemoryLeavesTheOpenOneWhole() {
    if (kAddressSanitizer) {
        QSKIP("the address sanitizer needs more address space than the limits");
    }
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    const std::string small = dir.file("small.bnv");
    test::WriteBytes(small, "\x07Height376\r\nSmall@00@\r\nOther@00@\r\n");
    // A million Topics in 10 MB: what they take in memory is many times the file.
    const std::string big = dir.file("big.bnv");
    {
        std::string bytes = "\x07Height376\r\n";
        for (int i = 0; i < 1000000; ++i) {
            bytes +=
                std::string(static_cast<size_t>(i % 3), '\t') + "t" + std::to_string(i) + "\r\n";
        }
        test::WriteBytes(big, bytes);
    }
    const QStringList open = {"open", QString::fromStdString(small), QString::fromStdString(big)};
    const QString opened =
        QStringLiteral("topics 1000000, rows 1000000, view rows 1000000, first t0");
    const QString kept = QStringLiteral("topics 2, rows 2, view rows 2, first Small");

    ChildRun free = RunChild(folder, open, 0);
    QVERIFY(!free.crashed);
    QVERIFY2(free.state.startsWith(opened), qPrintable(free.state));
    const long cost = free.afterKb - free.beforeKb;
    QVERIFY(cost > 0);

    // From far too little to plenty: every open either shows the whole document, or says that
    // memory ran out and leaves the document that was open as it was. Never half of it, and
    // never a crash.
    int failed = 0;
    int shown = 0;
    for (double share : {0.2, 0.4, 0.6, 0.8, 1.0, 1.2, 3.0}) {
        const long limit = free.beforeKb + 64 * 1024 + static_cast<long>(share * cost);
        ChildRun run = RunChild(folder, open, limit);
        const QString what = QStringLiteral("limit %1 KB: %2 / %3")
                                 .arg(limit)
                                 .arg(run.state, run.messages.join(QStringLiteral(" | ")));
        QVERIFY2(!run.crashed && run.exitCode == 0, qPrintable(what));
        if (run.state.startsWith(opened)) {
            QVERIFY2(run.messages.isEmpty(), qPrintable(what));
            ++shown;
        } else {
            QVERIFY2(run.state.startsWith(kept), qPrintable(what));
            QCOMPARE(run.messages, QStringList{QStringLiteral("メモリが足りません")});
            ++failed;
        }
    }
    QVERIFY(failed > 0);
    QVERIFY(shown > 0);

    // The same as the program starts with the document (read while the window is built): an
    // empty window that says why.
    ChildRun start = RunChild(folder, {"start", QString::fromStdString(big)},
                              free.beforeKb + 64 * 1024 + cost / 2);
    QVERIFY2(!start.crashed && start.exitCode == 0, qPrintable(start.state));
    QVERIFY2(start.state.startsWith(QStringLiteral("topics 0, rows 0, view rows 0")) ||
                 start.state.startsWith(opened),
             qPrintable(start.state));
    if (!start.state.startsWith(opened)) {
        QCOMPARE(start.messages, QStringList{QStringLiteral("メモリが足りません")});
    }
}

BRENVALE_UI_TEST(ui_open_save_tests, OpenSaveWindowTest);
#include "open_save_window_test.moc"
