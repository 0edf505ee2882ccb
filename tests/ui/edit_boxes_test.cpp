// The two edit boxes and the keys the window acts on when they are released: the key events an
// input method leaves over.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include "support/temp_dir.h"
#include "test_window.h"
#include "ui/check_list_view.h"
#include "ui/topic_tree_view.h"

using namespace brenvale;
using test::Sjis;

class EditBoxesTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void aReleaseWhosePressWentElsewhereDoesNothing();

private:
    MainWindow& window() { return *window_; }
    Editor& editor() { return window_->editor(); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void EditBoxesTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(dir_->file("state")));
}

void EditBoxesTest::cleanup() {
    if (window_) {
        window_->editor().SetModified(false);
        window_->close();
    }
    window_.reset();
    dir_.reset();
}

void EditBoxesTest::aReleaseWhosePressWentElsewhereDoesNothing() {
    window_ = test::MakeWindow(*dir_);
    for (const char* text : {"a", "b"}) {
        editor().ListEditChanged(text);
        editor().ListAddExecute();
    }
    editor().SelectRow(0);
    CheckListView* list = window().list();
    QLineEdit* listEdit = window().listEdit();
    TopicTreeView* tree = window().tree();

    // An input method commits a character and composes the next one; it takes F2's press to
    // convert and passes the release on.
    listEdit->setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("あ"));
    QApplication::sendEvent(listEdit, &commit);
    QInputMethodEvent compose(QStringLiteral("か"), {});
    QApplication::sendEvent(listEdit, &compose);
    QTest::keyRelease(listEdit, Qt::Key_F2);
    QCOMPARE(editor().listEditText(), Sjis("あ"));
    QCOMPARE(editor().selectedRow(), 0);
    QCOMPARE(editor().rowCount(), size_t{2});
    QCOMPARE(QApplication::focusWidget(), listEdit);

    list->setFocus();
    QTest::keyRelease(list, Qt::Key_Delete);
    QCOMPARE(editor().rowCount(), size_t{2});
    tree->setFocus();
    QTest::keyRelease(tree, Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), tree);

    // A key pressed in another window and let go in this one.
    QLineEdit other;
    other.show();
    QApplication::setActiveWindow(&other);
    other.setFocus();
    QTest::keyPress(&other, Qt::Key_Delete);
    QApplication::setActiveWindow(&window());
    list->setFocus();
    QTest::keyRelease(list, Qt::Key_Delete);
    QCOMPARE(editor().rowCount(), size_t{2});

    // Pressed and released here, the keys act.
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(editor().rowCount(), size_t{1});
    QTest::keyClick(list, Qt::Key_F2);
    QCOMPARE(QApplication::focusWidget(), listEdit);
    QCOMPARE(listEdit->text(), QStringLiteral("b"));
}

QTEST_MAIN(EditBoxesTest)

#include "edit_boxes_test.moc"
