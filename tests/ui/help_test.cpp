#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHelpContentModel>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexModel>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <functional>

#include "editor/command_table.h"
#include "support/temp_dir.h"
#include "ui/command_actions.h"
#include "ui/help_context.h"
#include "ui/help_pages.h"
#include "ui/help_search.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui_test_registry.h"

using namespace brenvale;

namespace {

const QString kProgram = QStringLiteral(BRENVALE_PROGRAM);

// Answers the next message box with OK and keeps its text.
void AnswerOk(QString* text) {
    QTimer::singleShot(0, [text] {
        for (int tries = 0; tries < 200; ++tries) {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                *text = box->text();
                box->buttons().first()->click();
                return;
            }
            QTest::qWait(10);
        }
        QFAIL("no message box came up");
    });
}

QString PageOf(const QUrl& url) {
    return url.fileName();
}

QStringList AllPages(QHelpEngine& engine) {
    QStringList pages;
    for (const QUrl& url :
         engine.files(QString::fromLatin1(kHelpNamespace), QString(), QStringLiteral("html"))) {
        pages << PageOf(url);
    }
    pages.sort();
    return pages;
}

QString PageText(QHelpEngine& engine, const QString& page) {
    return QString::fromUtf8(engine.fileData(HelpUrl(page)));
}

void CollectContents(QHelpContentModel* model, const QModelIndex& parent, QSet<QString>* pages) {
    for (int row = 0; row < model->rowCount(parent); ++row) {
        QModelIndex index = model->index(row, 0, parent);
        pages->insert(PageOf(model->contentItemAt(index)->url()));
        CollectContents(model, index, pages);
    }
}

}  // namespace

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void missingHelpFilesGiveAMessage();
    void anUnreadableCollectionGivesAMessage();
    void theInstalledCopyIsFoundBesideTheBinFolder();
    void everyContextNumberOpensItsPage();
    void oneWindowIsReusedAndDoesNotBlock();
    void theWindowOpensWhollyOnItsOwnersScreen();
    void theContentsListEveryPageAndOpenIt();
    void theIndexReachesEveryPage();
    void theSearchFindsEveryPageByAWordOfIt();
    void theSearchTabFindsAndShowsPages();
    void everyLinkAndPictureResolves();
    void theCommandListNamesEveryCommandWithItsKey();
    void helpCommandsOfTheMainWindowOpenTheHelp();
    void aModalDialogDoesNotBlockItsHelp();

private:
    HelpWindow* open(int context = kHelpOptionsView);

    std::unique_ptr<QWidget> owner_;
    std::unique_ptr<test::TempDir> dir_;
};

void HelpTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    owner_ = std::make_unique<QWidget>();
    owner_->show();
    SetHelpProgramPath(kProgram);
}

void HelpTest::cleanup() {
    owner_.reset();  // takes its help window with it
    dir_.reset();
}

HelpWindow* HelpTest::open(int context) {
    ShowHelpContext(owner_.get(), context);
    return OpenHelpWindow(owner_.get());
}

void HelpTest::missingHelpFilesGiveAMessage() {
    SetHelpProgramPath(QString::fromStdString(dir_->file("bin/brenvale")));
    QString text;
    AnswerOk(&text);
    QCOMPARE(OpenHelpWindow(owner_.get()), nullptr);
    QVERIFY2(text.contains(QStringLiteral("ヘルプファイル brenvale.qhc が見つかりません。")),
             qPrintable(text));
    QVERIFY(text.contains(QString::fromStdString(dir_->file("bin/brenvale.qhc"))));
    QVERIFY(text.contains(QString::fromStdString(dir_->file("share/brenvale/brenvale.qhc"))));
    QVERIFY(owner_->findChildren<HelpWindow*>().isEmpty());
}

void HelpTest::anUnreadableCollectionGivesAMessage() {
    test::WriteBytes(dir_->file("todo.qhc"), "not a collection");
    test::WriteBytes(dir_->file("todo.qch"), "not a help file");
    SetHelpProgramPath(QString::fromStdString(dir_->file("todo")));
    QString text;
    AnswerOk(&text);
    QCOMPARE(OpenHelpWindow(owner_.get()), nullptr);
    QVERIFY2(text.contains(QStringLiteral("を開けません。")), qPrintable(text));
}

void HelpTest::theInstalledCopyIsFoundBesideTheBinFolder() {
    // An unpacked installation: the collection still finds its help file once both moved.
    namespace fs = std::filesystem;
    fs::path share = fs::path(dir_->path()) / "usr/share/brenvale";
    fs::create_directories(share);
    fs::path built = fs::path(kProgram.toStdString()).parent_path();
    fs::copy_file(built / "brenvale.qhc", share / "brenvale.qhc");
    fs::copy_file(built / "brenvale.qch", share / "brenvale.qch");
    SetHelpProgramPath(QString::fromStdString(dir_->file("usr/bin/brenvale")));
    HelpWindow* window = open(kHelpShortcutKeys);
    QVERIFY(window);
    QCOMPARE(window->engine().collectionFile(), QString::fromStdString((share / "brenvale.qhc")));
    QCOMPARE(PageOf(window->currentUrl()), QStringLiteral("shortcut-keys.html"));
    QVERIFY(window->browser()->toPlainText().contains(QStringLiteral("ショートカットキー設定")));
}

void HelpTest::everyContextNumberOpensItsPage() {
    const QList<std::pair<int, QString>> expected = {
        {16, "shortcut-keys.html"}, {17, "toolbar.html"},     {21, "options-view.html"},
        {22, "options-color.html"}, {23, "options-ext.html"}, {24, "options-save.html"},
        {99, "index.html"}};
    for (const auto& [context, page] : expected) {
        ShowHelpContext(owner_.get(), context);
        HelpWindow* window = OpenHelpWindow(owner_.get());
        QVERIFY(window);
        QCOMPARE(PageOf(window->currentUrl()), page);
        QVERIFY2(!window->browser()->toPlainText().isEmpty(), qPrintable(page));
    }
}

void HelpTest::oneWindowIsReusedAndDoesNotBlock() {
    HelpWindow* first = open();
    QVERIFY(first && first->isVisible());
    QCOMPARE(first->windowTitle(), QStringLiteral("Brenvale ヘルプ"));
    QCOMPARE(first->windowModality(), Qt::NonModal);
    QVERIFY(!QApplication::activeModalWidget());
    first->close();
    HelpContentsExecute(owner_.get());
    QCOMPARE(OpenHelpWindow(owner_.get()), first);
    QVERIFY(first->isVisible());
    QCOMPARE(owner_->findChildren<HelpWindow*>().size(), 1);
    QCOMPARE(PageOf(first->currentUrl()), QStringLiteral("index.html"));
}

void HelpTest::theWindowOpensWhollyOnItsOwnersScreen() {
    const QRect work = owner_->screen()->availableGeometry();
    // An owner mostly past the screen's corner.
    owner_->setGeometry(work.right() - 100, work.bottom() - 80, 300, 200);
    HelpWindow* window = open();
    QVERIFY(window);
    QVERIFY2(work.contains(window->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                    .arg(window->x())
                                                                    .arg(window->y())
                                                                    .arg(window->width())
                                                                    .arg(window->height())));
    // Where there is room, over the owner's middle.
    window->close();
    owner_->setGeometry(
        QRect(QPoint(0, 0), QSize(300, 200)).translated(work.center() - QPoint(150, 100)));
    window = open();
    QVERIFY(work.contains(window->frameGeometry()));
    QVERIFY(
        (window->frameGeometry().center() - owner_->frameGeometry().center()).manhattanLength() <
        4);
    // Moved by the user, it stays where it was put while it is open.
    window->move(work.topLeft());
    QPoint moved = window->pos();
    open();
    QCOMPARE(window->pos(), moved);
}

void HelpTest::theContentsListEveryPageAndOpenIt() {
    HelpWindow* window = open();
    QVERIFY(window);
    QHelpContentModel* model = window->engine().contentModel();
    QTRY_VERIFY(!model->isCreatingContents() && model->rowCount() > 0);
    QSet<QString> listed;
    CollectContents(model, {}, &listed);
    for (const QString& page : AllPages(window->engine())) {
        QVERIFY2(listed.contains(page), qPrintable(page + " is not in the contents"));
    }
    // Clicking an entry shows its page, and the contents follow the page shown.
    QHelpContentWidget* contents = window->engine().contentWidget();
    QModelIndex tree = contents->indexOf(HelpUrl(QStringLiteral("tree.html")));
    QVERIFY(tree.isValid());
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                      contents->visualRect(tree).center());
    QCOMPARE(PageOf(window->currentUrl()), QStringLiteral("tree.html"));
    window->showPage(QStringLiteral("files.html"));
    QCOMPARE(contents->currentIndex(), contents->indexOf(HelpUrl(QStringLiteral("files.html"))));
}

void HelpTest::theIndexReachesEveryPage() {
    HelpWindow* window = open();
    QVERIFY(window);
    QHelpIndexModel* model = window->engine().indexModel();
    QTRY_VERIFY(!model->isCreatingIndex() && model->rowCount() > 0);
    QSet<QString> reached;
    for (int row = 0; row < model->rowCount(); ++row) {
        QString keyword = model->data(model->index(row, 0), Qt::DisplayRole).toString();
        for (const QHelpLink& link : window->engine().documentsForKeyword(keyword)) {
            reached.insert(PageOf(link.url));
        }
    }
    for (const QString& page : AllPages(window->engine())) {
        QVERIFY2(reached.contains(page), qPrintable(page + " has no keyword in the index"));
    }
    // Typing filters the keywords; Enter opens the page of the first one.
    window->tabs()->setCurrentIndex(1);
    window->indexFilter()->setText(QStringLiteral("ごみ箱"));
    QTest::keyClick(window->indexFilter(), Qt::Key_Return);
    QCOMPARE(PageOf(window->currentUrl()), QStringLiteral("tree.html"));
}

void HelpTest::theSearchFindsEveryPageByAWordOfIt() {
    HelpWindow* window = open();
    QVERIFY(window);
    HelpSearch search(window->engine());
    static const QRegularExpression title(QStringLiteral("<h1>(.*?)</h1>"));
    for (const QString& page : AllPages(window->engine())) {
        QString heading = title.match(PageText(window->engine(), page)).captured(1);
        // The heading's longest run of text without markup or punctuation.
        QString word;
        for (const QString& part : heading.split(
                 QRegularExpression(QStringLiteral("<[^>]*>|[：［］\\s]")), Qt::SkipEmptyParts)) {
            if (part.size() > word.size()) {
                word = part;
            }
        }
        QVERIFY2(!word.isEmpty(), qPrintable(page));
        QStringList found;
        for (const HelpHit& hit : search.find(word)) {
            found << PageOf(hit.url);
        }
        QVERIFY2(found.contains(page), qPrintable(word + " does not find " + page));
    }
    // A word inside a sentence, full-width letters, and every word of two.
    QCOMPARE(PageOf(search.find(QStringLiteral("未チェック数")).first().url),
             QStringLiteral("checklist.html"));
    QVERIFY(!search.find(QStringLiteral("ｂｒｅｎｖａｌｅ－ｃｌｉ")).isEmpty());
    QList<HelpHit> both = search.find(QStringLiteral("Icon01.ico 番号"));
    QVERIFY(!both.isEmpty());
    for (const HelpHit& hit : both) {
        QString text = HelpSearch::NormalizedText(PageText(window->engine(), PageOf(hit.url)));
        QVERIFY(text.contains(QStringLiteral("icon01.ico")));
    }
    QVERIFY(search.find(QStringLiteral("存在しない語句xyz")).isEmpty());
    QVERIFY(search.find(QStringLiteral("  ")).isEmpty());
}

void HelpTest::theSearchTabFindsAndShowsPages() {
    HelpTopicExecute(owner_.get());
    HelpWindow* window = OpenHelpWindow(owner_.get());
    QVERIFY(window);
    QCOMPARE(window->tabs()->currentIndex(), 2);
    QCOMPARE(window->focusWidget(), window->searchInput());
    window->searchInput()->setText(QStringLiteral("バックアップ"));
    QTest::keyClick(window->searchInput(), Qt::Key_Return);
    QVERIFY(window->searchResults()->count() >= 2);
    QVERIFY(window->searchStatus()->text().contains(QStringLiteral("ページ見つかりました")));
    QString shown = PageOf(window->currentUrl());
    QCOMPARE(shown, PageOf(window->searchResults()->item(0)->data(Qt::UserRole).toUrl()));
    window->searchInput()->setText(QStringLiteral("ありえない語句"));
    QTest::keyClick(window->searchInput(), Qt::Key_Return);
    QCOMPARE(window->searchResults()->count(), 0);
    QVERIFY(window->searchStatus()->text().contains(QStringLiteral("ありません")));
}

void HelpTest::everyLinkAndPictureResolves() {
    HelpWindow* window = open();
    QVERIFY(window);
    QHelpEngine& engine = window->engine();
    static const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
    static const QRegularExpression anchor(QStringLiteral("id=\"([^\"]+)\""));
    int checked = 0;
    for (const QString& page : AllPages(engine)) {
        QUrl base = HelpUrl(page);
        auto it = reference.globalMatch(PageText(engine, page));
        while (it.hasNext()) {
            QUrl target = base.resolved(QUrl(it.next().captured(1)));
            QString where = page + " -> " + target.toString();
            QCOMPARE(target.scheme(), QStringLiteral("qthelp"));
            QVERIFY2(!engine.fileData(target.adjusted(QUrl::RemoveFragment)).isEmpty(),
                     qPrintable(where));
            if (target.hasFragment()) {
                QString html =
                    QString::fromUtf8(engine.fileData(target.adjusted(QUrl::RemoveFragment)));
                QSet<QString> ids;
                for (auto a = anchor.globalMatch(html); a.hasNext();) {
                    ids.insert(a.next().captured(1));
                }
                QVERIFY2(ids.contains(target.fragment()), qPrintable(where));
            }
            ++checked;
        }
    }
    QVERIFY(checked > 50);
    // Clicking a link follows it, and back returns.
    window->showPage(QStringLiteral("index.html"));
    window->browser()->setSource(HelpUrl(QStringLiteral("files.html#backup")));
    QCOMPARE(PageOf(window->currentUrl()), QStringLiteral("files.html"));
    window->browser()->backward();
    QCOMPARE(PageOf(window->currentUrl()), QStringLiteral("index.html"));
}

void HelpTest::theCommandListNamesEveryCommandWithItsKey() {
    HelpWindow* window = open();
    QVERIFY(window);
    QString html = PageText(window->engine(), QStringLiteral("commands.html"));
    for (const CommandInfo& command : CommandTable()) {
        QString name = QString::fromUtf8(command.name.data(), command.name.size());
        int start = html.indexOf(QStringLiteral("<tr id=\"cmd-%1\">").arg(name));
        QVERIFY2(start >= 0, qPrintable(name));
        QString row = html.mid(start, html.indexOf(QStringLiteral("</tr>"), start) - start);
        QString caption = QString::fromUtf8(command.caption.data(), command.caption.size());
        caption.remove('&');
        QString key = command.defaultKey.empty()
                          ? QStringLiteral("（なし）")
                          : QString::fromUtf8(command.defaultKey.data(), command.defaultKey.size());
        QVERIFY2(row.contains(caption), qPrintable(name + ": " + caption));
        QVERIFY2(row.contains(QStringLiteral("<td>%1</td>").arg(key)),
                 qPrintable(name + ": " + key));
    }
}

void HelpTest::helpCommandsOfTheMainWindowOpenTheHelp() {
    StartupOptions options;
    options.programPath = kProgram;
    options.companionFolder = QString::fromStdString(dir_->path());
    options.settingsFile = QString::fromStdString(dir_->file("brenvale.ini"));
    options.shortcutFile = QString::fromStdString(dir_->file("brenvale.key"));
    auto main = std::make_unique<MainWindow>(options);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    main->start();
    QApplication::setActiveWindow(main.get());
    QTest::keyClick(main.get(), Qt::Key_F1);
    HelpWindow* window = main->findChild<HelpWindow*>();
    QVERIFY(window && window->isVisible());
    QCOMPARE(PageOf(window->currentUrl()), QStringLiteral("index.html"));
    QCOMPARE(window->tabs()->currentIndex(), 0);
    main->actions().action(CommandId::HelpTopic)->trigger();
    QCOMPARE(main->findChildren<HelpWindow*>().size(), 1);
    QCOMPARE(window->tabs()->currentIndex(), 2);
    main->editor().session().setModified(false);
    main->close();
}

void HelpTest::aModalDialogDoesNotBlockItsHelp() {
    QDialog dialog(owner_.get());
    bool clicked = false;
    QTimer::singleShot(0, [&] {
        QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
        ShowHelpContext(&dialog, kHelpOptionsColor);
        HelpWindow* window = OpenHelpWindow(&dialog);
        QVERIFY(window);
        QCOMPARE(PageOf(window->currentUrl()), QStringLiteral("options-color.html"));
        // A real click through the window system: a blocked window would drop it.
        QToolButton* home = nullptr;
        for (QToolButton* button : window->findChildren<QToolButton*>()) {
            if (button->text() == QStringLiteral("目次")) {
                home = button;
            }
        }
        QVERIFY(home);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          home->mapTo(window, home->rect().center()));
        clicked = PageOf(window->currentUrl()) == QStringLiteral("index.html");
        dialog.reject();
    });
    dialog.exec();
    QVERIFY2(clicked, "the help window was blocked by the dialog");
    // The dialog is gone; the window is the owner's again and survives it.
    HelpWindow* window = OpenHelpWindow(owner_.get());
    QVERIFY(window);
    QCOMPARE(window->parentWidget(), owner_.get());
}

BRENVALE_UI_TEST(ui_help_tests, HelpTest);
#include "help_test.moc"
