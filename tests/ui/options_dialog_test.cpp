#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTabWidget>

#include <filesystem>

#include "common/path.h"
#include "modal_answers.h"
#include "settings/colour_scheme.h"
#include "settings/file_association.h"
#include "support/read_only_folder.h"
#include "test_window.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/colours.h"
#include "ui/options_dialog.h"
#include "ui/topic_tree_model.h"
#include "ui/topic_tree_view.h"
#include "ui_test_registry.h"

using namespace brenvale;
using test::Answer;
using test::AnswerInTurn;
using test::Sjis;

namespace {

template <typename Widget = QWidget>
Widget* Child(QWidget* dialog, const char* name) {
    auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
    if (!widget) {
        qWarning("no control %s", name);
    }
    return widget;
}

// Picks a colour in the colour dialog the button opens; *slot9 gets its ninth custom colour.
void PickColour(QWidget* dialog, const char* button, QColor colour, QColor* slot9 = nullptr) {
    test::WhenModal<QColorDialog>([colour, slot9](QColorDialog* colours) {
        if (slot9) {
            *slot9 = QColorDialog::customColor(8);
        }
        colours->setCurrentColor(colour);
        colours->accept();
    });
    Child<QPushButton>(dialog, button)->click();
}

QString TextOf(const std::string& text) {
    return FromUtf8(text);
}

}  // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void opensOnTheFirstPageWithCtrlP();
    void okWritesEveryKeyAndAppliesIt();
    void okWithoutChangesWritesBackEveryOptionAsItWas();
    void cancelAfterColourChangesLeavesEverythingAsItWas();
    void onADarkDesktopTheSamplesShowTheDarkColoursAndOnlyChosenOnesAreWritten();
    void aSettingsFileThatCannotBeWrittenStopsOk();
    void opensWithTheStoredValuesAndItsEnablingRules();
    void theMarkTakesAtMostTwoBytes();
    void foldersChosenInTheBrowserBecomeTheThirdEntry();
    void pureWhiteIsWrittenByNameAndLeavesTheCustomSlot();
    void associatesAndRemovesTheFileType();
    void anotherProgramsAssociationIsAskedAboutAndKeptInSaveReg();
    void aFolderThatCannotBeWrittenFailsTheAssociation();

private:
    void make(const std::string& settings = {});
    // Opens the options dialog by its shortcut and runs steps in it; steps close it.
    void runDialog(std::function<void(QDialog*)> steps);
    std::string settingsFile() const { return dir_->file("brenvale.ini"); }
    std::string settingsText() const { return test::ReadBytes(settingsFile()); }
    Editor& editor() { return window_->editor(); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    QString oldCurrent_;
};

void OptionsDialogTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    // The desktop's folders and the current folder (for Save.reg) are temporary ones: nothing
    // here may touch the machine's own.
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir_->file("data")));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir_->file("config")));
    qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(dir_->file("system")));
    qputenv("XDG_CONFIG_DIRS", QByteArray::fromStdString(dir_->file("etc")));
    oldCurrent_ = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(dir_->path()));
}

void OptionsDialogTest::cleanup() {
    if (window_) {
        editor().session().setModified(false);
        window_->close();
    }
    window_.reset();
    QDir::setCurrent(oldCurrent_);
    dir_.reset();
}

void OptionsDialogTest::make(const std::string& settings) {
    if (!settings.empty()) {
        test::WriteBytes(settingsFile(), settings);
    }
    window_ = test::MakeWindow(*dir_);
}

void OptionsDialogTest::runDialog(std::function<void(QDialog*)> steps) {
    bool opened = false;
    test::WhenModal<OptionsDialog>([&opened, steps](OptionsDialog* dialog) {
        opened = true;
        steps(dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
    // A closed dialog leaves no window active offscreen; shortcuts need one.
    QApplication::setActiveWindow(window_.get());
    QTest::keyClick(window_.get(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(opened);
}

void OptionsDialogTest::opensOnTheFirstPageWithCtrlP() {
    make();
    runDialog([](QDialog* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("オプション設定"));
        // 427 by 300, taller only where the font needs it to show every option whole.
        QCOMPARE(d->width(), 427);
        QVERIFY(d->height() >= 300);
        QCOMPARE(d->minimumSize(), d->maximumSize());
        auto* pages = Child<QTabWidget>(d, "pgc");
        QCOMPARE(pages->currentIndex(), 0);
        QStringList tabs;
        for (int i = 0; i < pages->count(); ++i) {
            tabs << pages->tabText(i);
        }
        QCOMPARE(tabs, (QStringList{"表示", "色", "拡張子", "保存"}));
        QCOMPARE(Child<QPushButton>(d, "btnExt")->text(),
                 QStringLiteral("拡張子 (*.bnv) を関連付ける..."));
        // OK is the default button: Enter presses it (with real keys in the X11 test).
        QVERIFY(Child<QPushButton>(d, "btnOk")->isDefault());
        // The help button opens the help at the page's context (a message when the help
        // files are missing); the dialog stays.
        pages->setCurrentIndex(3);
        {
            test::MessageBoxCloser closer;
            Child<QPushButton>(d, "btnHelp")->click();
            QTest::qWait(50);
        }
        QVERIFY(d->isVisible());
        Child<QPushButton>(d, "btnCancel")->click();
    });
    QVERIFY(!FileExists(settingsFile()));
    // A new run starts afresh on the first page.
    runDialog([](QDialog* d) { QCOMPARE(Child<QTabWidget>(d, "pgc")->currentIndex(), 0); });
}

void OptionsDialogTest::okWritesEveryKeyAndAppliesIt() {
    make();
    Topic* parent = editor().selection().topic();
    editor().execute(CommandId::AddTreeChild);
    editor().tree().setTopicExpanded(parent, false);
    runDialog([](QDialog* d) {
        Child<QCheckBox>(d, "cbMoving")->click();
        PickColour(d, "btnTreeBackColor", QColor(0x20, 0x40, 0x60));
        Child<QRadioButton>(d, "rbAutoSaveTmp")->click();
        Child<QComboBox>(d, "cmbAutoSave")->setCurrentText("15");
        Child<QPushButton>(d, "btnOk")->click();
    });
    const std::string own = Sjis("※File");
    QCOMPARE(settingsText(),
             "[Window]\r\nMoving=1\r\nTitleFullPath=1\r\nTitleFullPathActive=1\r\n"
             "[Save]\r\nEveryS=1\r\nSpRemv=1\r\nAutoSv=2\r\nAutoMs=1\r\nInterval=900000\r\n"
             "BackUp=0\r\nBackUpPass=" +
                 own + "\r\nTempPass=" + own +
                 "\r\n[Tree]\r\nTreeColor=$00604020\r\nTreeFontColor=$00100000\r\n"
                 "ShowProgress=0\r\nRootButtons=0\r\n"
                 "[List]\r\nKugiri=1\r\nCekBox=1\r\nCekMoj=" +
                 Sjis("※") +
                 "\r\nLCBold=1\r\nLCItal=0\r\nLCUnde=0\r\nHideChecked=0\r\nGrayChecked="
                 "0\r\nDoneDate=0\r\n");
    // The list's colours were never chosen: they keep following the desktop, unwritten.
    QVERIFY(editor().settings().keepOnScreen);
    QCOMPARE(editor().settings().autoSave, AutoSaveMode::TempCopy);
    QCOMPARE(editor().session().autoSaveInterval(), 900000);
    QCOMPARE(window_->tree()->palette().color(QPalette::Base), QColor(0x20, 0x40, 0x60));
    QCOMPARE(window_->treeEdit()->palette().color(QPalette::Base), QColor(0x20, 0x40, 0x60));
    // After OK the edit boxes take the text colours too.
    QCOMPARE(window_->treeEdit()->palette().color(QPalette::Text), ToQColor(0x00100000));
    // A new tree colour expands the whole tree.
    QVERIFY(parent->expanded);
    auto* model = static_cast<TopicTreeModel*>(window_->tree()->model());
    QVERIFY(window_->tree()->isExpanded(model->indexOf(parent)));
}

void OptionsDialogTest::okWithoutChangesWritesBackEveryOptionAsItWas() {
    // Every option other than its default, in the order OK writes them: each control shows
    // its option and gives it back unchanged.
    const std::string every =
        "[Window]\r\nMoving=1\r\nTitleFullPath=0\r\nTitleFullPathActive=0\r\n"
        "[Save]\r\nEveryS=0\r\nSpRemv=0\r\nAutoSv=3\r\nAutoMs=0\r\nInterval=1800000\r\n"
        "BackUp=1\r\nBackUpPass=/var/backups/notes\r\nTempPass=" +
        Sjis("※File") +
        "\r\n[Tree]\r\nTreeColor=clWhite\r\nTreeFontColor=$00123456\r\nShowProgress=1\r\n"
        "RootButtons=1\r\n"
        "[List]\r\nKugiri=0\r\nCekBox=0\r\nCekMoj=" +
        Sjis("＊") +
        "\r\nLCBold=0\r\nLCItal=1\r\nLCUnde=1\r\nListColor=clBtnFace\r\n"
        "ListFontColor=$00ABCDEF\r\nHideChecked=1\r\nGrayChecked=1\r\nDoneDate=1\r\n";
    make(every);
    runDialog([](QDialog* d) { Child<QPushButton>(d, "btnOk")->click(); });
    QCOMPARE(settingsText(), every);
    QCOMPARE(editor().settings().autoSave, AutoSaveMode::OverDocument);
    QCOMPARE(editor().session().autoSaveInterval(), 1800000);
}

void OptionsDialogTest::cancelAfterColourChangesLeavesEverythingAsItWas() {
    make();
    Topic* parent = editor().selection().topic();
    editor().execute(CommandId::AddTreeChild);
    editor().tree().setTopicExpanded(parent, false);
    QColor treeBefore = window_->tree()->palette().color(QPalette::Base);
    QColor listBefore = window_->list()->palette().color(QPalette::Text);
    runDialog([](QDialog* d) {
        PickColour(d, "btnTreeBackColor", Qt::red);
        PickColour(d, "btnListFontColor", Qt::green);
        // The sample shows the choice until OK or Cancel.
        QCOMPARE(Child<QLabel>(d, "pnlTreeColor")->palette().color(QPalette::Window),
                 QColor(Qt::red));
        Child<QPushButton>(d, "btnCancel")->click();
    });
    QVERIFY(!FileExists(settingsFile()));
    QCOMPARE(window_->tree()->palette().color(QPalette::Base), treeBefore);
    QCOMPARE(window_->list()->palette().color(QPalette::Text), listBefore);
    QVERIFY(!parent->expanded);
}

void OptionsDialogTest::onADarkDesktopTheSamplesShowTheDarkColoursAndOnlyChosenOnesAreWritten() {
    const QPalette light = QApplication::palette();
    auto restore = qScopeGuard([light] { QApplication::setPalette(light); });
    QPalette dark = light;
    dark.setColor(QPalette::Window, QColor(0x2A, 0x2A, 0x2E));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    QApplication::setPalette(dark);
    make();
    const ViewColours darkDefaults = DarkDefaultColours();
    auto sample = [](QDialog* d, const char* panel, QPalette::ColorRole role) {
        return Child<QLabel>(d, panel)->palette().color(role);
    };
    // OK without choosing a colour: the views keep following the desktop.
    runDialog([&](QDialog* d) {
        QCOMPARE(sample(d, "pnlTreeColor", QPalette::Window), ToQColor(darkDefaults.treeBack));
        QCOMPARE(sample(d, "pnlListColor", QPalette::WindowText), ToQColor(darkDefaults.listText));
        Child<QPushButton>(d, "btnOk")->click();
    });
    QVERIFY(settingsText().find("Color") == std::string::npos);
    // Choosing the list's background keeps both its colours as they show.
    runDialog([](QDialog* d) {
        PickColour(d, "btnListBackColor", QColor(0x10, 0x20, 0x30));
        Child<QPushButton>(d, "btnOk")->click();
    });
    QVERIFY(settingsText().find("ListColor=$00302010\r\n") != std::string::npos);
    QVERIFY(settingsText().find("ListFontColor=" + FormatColour(darkDefaults.listText)) !=
            std::string::npos);
    QVERIFY(settingsText().find("TreeColor") == std::string::npos);
    QApplication::setPalette(light);
    QTRY_COMPARE(window_->tree()->palette().color(QPalette::Base),
                 ToQColor(ViewColours{}.treeBack));
    QCOMPARE(window_->list()->palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    QCOMPARE(window_->list()->palette().color(QPalette::Text), ToQColor(darkDefaults.listText));
}

void OptionsDialogTest::aSettingsFileThatCannotBeWrittenStopsOk() {
    make();
    std::filesystem::create_directory(settingsFile());
    QString message;
    runDialog([&message](QDialog* d) {
        Child<QCheckBox>(d, "cbMoving")->click();
        Answer("OK", &message);
        Child<QPushButton>(d, "btnOk")->click();
        // The dialog stays for another try or Cancel.
        QVERIFY(d->isVisible());
    });
    QCOMPARE(message, QString::fromStdString(settingsFile()) + QStringLiteral(" に書き込めません"));
    QVERIFY(!editor().settings().keepOnScreen);
    std::filesystem::remove(settingsFile());  // so that the close can write
}

void OptionsDialogTest::opensWithTheStoredValuesAndItsEnablingRules() {
    make(
        "[Window]\r\nTitleFullPath=0\r\nTitleFullPathActive=1\r\n[Save]\r\nAutoSv=3\r\n"
        "Interval=90000\r\nBackUpPass=" +
        dir_->path() + "\r\nSpRemv=0\r\n[List]\r\nCekBox=0\r\nLCBold=0\r\nCekMoj=" + Sjis("＊") +
        "\r\n");
    runDialog([this](QDialog* d) {
        auto* active = Child<QCheckBox>(d, "cbTitleFullActive");
        QVERIFY(!active->isEnabled());
        QVERIFY(active->isChecked());
        QVERIFY(!Child<QCheckBox>(d, "cbSpRemv")->isChecked());
        for (const char* name :
             {"cmbList", "lblList", "cbListBold", "cbListItalic", "cbListUnderline"}) {
            QVERIFY2(!Child(d, name)->isEnabled(), name);
        }
        QCOMPARE(Child<QComboBox>(d, "cmbList")->currentText(), QStringLiteral("＊"));
        // Mode 3: the question and the interval, not the temporary folder.
        QVERIFY(Child<QRadioButton>(d, "rbAutoSaveU")->isChecked());
        QVERIFY(Child(d, "cbAutoSave")->isEnabled());
        QVERIFY(Child(d, "cmbAutoSave")->isEnabled());
        QCOMPARE(Child<QComboBox>(d, "cmbAutoSave")->currentText(), QStringLiteral("1"));
        auto* temp = Child<QComboBox>(d, "cmbTmpPass");
        QVERIFY(!temp->isEnabled() && !Child(d, "lblTmpPass")->isEnabled());
        QCOMPARE(temp->palette().color(QPalette::Base),
                 QApplication::palette().color(QPalette::Button));
        // The program's folder is the second entry, selected, and no third one is added.
        auto* backup = Child<QComboBox>(d, "cmbBakPass");
        QCOMPARE(backup->count(), 2);
        QCOMPARE(backup->currentIndex(), 1);
        QCOMPARE(backup->currentText(), QString::fromStdString(dir_->path()));

        Child<QRadioButton>(d, "rbAutoSave")->click();
        QVERIFY(!Child(d, "cbAutoSave")->isEnabled());
        QVERIFY(!Child(d, "cmbAutoSave")->isEnabled() && !Child(d, "lblFun")->isEnabled());
        Child<QRadioButton>(d, "rbAutoSaveTmp")->click();
        QVERIFY(temp->isEnabled() && Child(d, "btnTmpPass")->isEnabled());
        QCOMPARE(temp->palette().color(QPalette::Base),
                 QApplication::palette().color(QPalette::Base));
        Child<QRadioButton>(d, "rbAutoSaveU")->click();
        Child<QPushButton>(d, "btnOk")->click();
    });
    std::string text = settingsText();
    for (const std::string& line : std::vector<std::string>{
             "TitleFullPathActive=1", "SpRemv=0", "CekBox=0", "LCBold=0", "Interval=60000",
             "CekMoj=" + Sjis("＊"), "BackUpPass=" + dir_->path(), "AutoSv=3"}) {
        QVERIFY2(text.find("\r\n" + line + "\r\n") != std::string::npos, line.c_str());
    }
}

void OptionsDialogTest::theMarkTakesAtMostTwoBytes() {
    make();
    runDialog([](QDialog* d) {
        auto* mark = Child<QComboBox>(d, "cmbList");
        mark->lineEdit()->clear();
        QTest::keyClicks(mark->lineEdit(), "abc");
        QCOMPARE(mark->currentText(), QStringLiteral("ab"));
        mark->lineEdit()->clear();
        test::Type(mark->lineEdit(), QStringLiteral("◎x"));
        QCOMPARE(mark->currentText(), QStringLiteral("◎"));
        Child<QPushButton>(d, "btnOk")->click();
    });
    QVERIFY(settingsText().find("\r\nCekMoj=" + Sjis("◎") + "\r\n") != std::string::npos);
    QCOMPARE(editor().settings().checkMark, Sjis("◎"));
}

void OptionsDialogTest::foldersChosenInTheBrowserBecomeTheThirdEntry() {
    make();
    std::filesystem::create_directories(dir_->file("one"));
    std::filesystem::create_directories(dir_->file("two"));
    QString first = QString::fromStdString(dir_->file("one"));
    QString second = QString::fromStdString(dir_->file("two"));
    QString title;
    QString preselected;
    runDialog([&](QDialog* d) {
        Child<QCheckBox>(d, "cbBackUp")->click();
        auto choose = [&](const QString& folder) {
            test::WhenModal<QFileDialog>([&, folder](QFileDialog* browser) {
                title = browser->windowTitle();
                preselected = browser->directory().absolutePath();
                // Opened in the folder with nothing typed, the browser answers that folder.
                browser->setDirectory(folder);
                QMetaObject::invokeMethod(browser, "accept", Qt::QueuedConnection);
            });
            Child<QPushButton>(d, "btnBakPass")->click();
        };
        choose(first);
        choose(second);
        auto* combo = Child<QComboBox>(d, "cmbBakPass");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->currentIndex(), 2);
        QCOMPARE(combo->currentText(), second);
        Child<QPushButton>(d, "btnOk")->click();
    });
    QCOMPARE(title, QStringLiteral("バックアップファイルを作成するフォルダを選択して下さい"));
    QCOMPARE(preselected, first);  // the combo box's text when the browser opened
    QVERIFY(settingsText().find("\r\nBackUpPass=" + dir_->file("two") + "\r\n") !=
            std::string::npos);
    QCOMPARE(editor().settings().backupFolder, dir_->file("two"));
}

void OptionsDialogTest::pureWhiteIsWrittenByNameAndLeavesTheCustomSlot() {
    make();
    QColor firstSlot;
    QColor secondSlot;
    runDialog([&](QDialog* d) {
        PickColour(d, "btnTreeBackColor", Qt::white, &firstSlot);
        PickColour(d, "btnTreeBackColor", Qt::white, &secondSlot);
        Child<QPushButton>(d, "btnOk")->click();
    });
    // The default background has no name and fills the ninth slot; white has one.
    QCOMPARE(firstSlot, QColor(0xF8, 0xF8, 0xFF));
    QCOMPARE(secondSlot, QColor(Qt::white));
    QVERIFY(settingsText().find("\r\nTreeColor=clWhite\r\n") != std::string::npos);
}

void OptionsDialogTest::associatesAndRemovesTheFileType() {
    make();
    const AssociationTexts t = AssociationTexts::For(".bnv");
    QString question;
    QString done;
    runDialog([&](QDialog* d) {
        AnswerInTurn({{"OK", &question}, {"OK", &done}});
        Child<QPushButton>(d, "btnExt")->click();
        QCOMPARE(Child<QPushButton>(d, "btnExt")->text(), TextOf(t.removeCaption));
    });
    QCOMPARE(question, TextOf(t.askAssociate));
    QCOMPARE(done, TextOf(t.associated));
    QVERIFY(FileExists(dir_->file("data/applications/brenvale.desktop")));
    QVERIFY(FileExists(dir_->file("data/icons/hicolor/256x256/apps/brenvale.png")));
    QVERIFY(
        FileExists(dir_->file("data/icons/hicolor/32x32/mimetypes/application-x-brenvale.png")));
    QVERIFY(!FileExists(dir_->file("Save.reg")));

    // A new dialog finds the registration; Cancel in the question changes nothing.
    runDialog([&](QDialog* d) {
        auto* button = Child<QPushButton>(d, "btnExt");
        QCOMPARE(button->text(), TextOf(t.removeCaption));
        Answer("キャンセル", &question);
        button->click();
        QCOMPARE(question, TextOf(t.askRemove));
        QVERIFY(FileExists(dir_->file("data/applications/brenvale.desktop")));
        AnswerInTurn({{"OK", nullptr}, {"OK", &done}});
        button->click();
        QCOMPARE(button->text(), TextOf(t.associateCaption));
    });
    QCOMPARE(done, TextOf(t.removed));
    QVERIFY(!FileExists(dir_->file("data/applications/brenvale.desktop")));
}

void OptionsDialogTest::anotherProgramsAssociationIsAskedAboutAndKeptInSaveReg() {
    std::filesystem::create_directories(dir_->file("config"));
    test::WriteBytes(dir_->file("config/mimeapps.list"),
                     "[Default Applications]\napplication/x-brenvale=viewer.desktop;\n");
    make();
    const AssociationTexts t = AssociationTexts::For(".bnv");
    QString overwrite;
    QString done;
    runDialog([&](QDialog* d) {
        // Cancel in the second question: nothing is written.
        AnswerInTurn({{"OK", nullptr}, {"キャンセル", &overwrite}});
        Child<QPushButton>(d, "btnExt")->click();
        QVERIFY(!FileExists(dir_->file("Save.reg")));
        AnswerInTurn({{"OK", nullptr}, {"OK", nullptr}, {"OK", &done}});
        Child<QPushButton>(d, "btnExt")->click();
    });
    QCOMPARE(overwrite, TextOf(t.askOverwrite));
    QCOMPARE(done, TextOf(t.associatedWithRestore));
    QVERIFY(FileExists(dir_->file("Save.reg")));
    QVERIFY(test::ReadBytes(dir_->file("config/mimeapps.list"))
                .find("application/x-brenvale=brenvale.desktop;") != std::string::npos);
}

void OptionsDialogTest::aFolderThatCannotBeWrittenFailsTheAssociation() {
    test::ReadOnlyFolder locked(dir_->file("data"));
    if (!locked.ok()) {
        QSKIP("this file system cannot make a folder read-only for this user");
    }
    make();
    QString failure;
    runDialog([&](QDialog* d) {
        AnswerInTurn({{"OK", nullptr}, {"OK", &failure}});
        Child<QPushButton>(d, "btnExt")->click();
        QCOMPARE(Child<QPushButton>(d, "btnExt")->text(),
                 QStringLiteral("拡張子 (*.bnv) を関連付ける..."));
    });
    QCOMPARE(failure, QStringLiteral("'' の設定に失敗しました"));
}

BRENVALE_UI_TEST(ui_options_dialog_tests, OptionsDialogTest);
#include "options_dialog_test.moc"
