#include "ui/setup_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValidator>

#include "common/error.h"
#include "settings/file_association.h"
#include "settings/ini_file.h"
#include "ui/codec.h"
#include "ui/colours.h"
#include "ui/folder_dialog.h"
#include "ui/help_context.h"
#include "ui/message_box.h"

namespace brenvale {

namespace {

constexpr int kClientWidth = 427;
constexpr int kClientHeight = 300;
constexpr int kButtonStrip = 34;
constexpr int kIndent = 18;
constexpr int kIconSizes[] = {16, 32, 48, 64, 128, 256};

// An editable folder combo box whose opened list is as wide as its widest entry.
class FolderCombo : public QComboBox {
public:
    using QComboBox::QComboBox;

    void showPopup() override {
        std::vector<int> widths;
        for (int i = 0; i < count(); ++i) {
            widths.push_back(fontMetrics().horizontalAdvance(itemText(i)));
        }
        view()->setMinimumWidth(FolderListWidth(widths, maxVisibleItems(),
                                                style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
        QComboBox::showPopup();
    }
};

// The mark: any text of at most two CP932 bytes.
class MarkValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int&) const override {
        std::optional<std::string> bytes = ToCp932(input);
        return bytes && bytes->size() <= kMarkMaxBytes ? Acceptable : Invalid;
    }
};

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* Check(const char* name, const char* caption) {
    return Named(new QCheckBox(QString::fromUtf8(caption)), name);
}

QGroupBox* Group(const char* caption, QLayout* content) {
    auto* group = new QGroupBox(QString::fromUtf8(caption));
    group->setLayout(content);
    return group;
}

QHBoxLayout* Row(std::initializer_list<QWidget*> widgets, int indent = 0, bool stretch = true) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(indent, 0, 0, 0);
    for (QWidget* widget : widgets) {
        row->addWidget(widget);
    }
    if (stretch) {
        row->addStretch(1);
    }
    return row;
}

QVBoxLayout* Column(int spacing = 2) {
    auto* column = new QVBoxLayout;
    column->setSpacing(spacing);
    return column;
}

// A disabled folder combo box shows the button face, an enabled one the window colour.
void EnableFolderCombo(QComboBox* combo, bool enabled) {
    combo->setEnabled(enabled);
    QPalette palette = combo->palette();
    palette.setColor(QPalette::Base,
                     QApplication::palette().color(enabled ? QPalette::Base : QPalette::Button));
    combo->setPalette(palette);
}

void FillFolderCombo(QComboBox* combo, const FolderChoice& choice) {
    combo->clear();
    for (const std::string& entry : choice.entries) {
        combo->addItem(FromUtf8(entry));
    }
    combo->setCurrentIndex(static_cast<int>(choice.selected));
}

// A folder combo's text as path bytes: a list entry keeps its own bytes.
std::string FolderText(const QComboBox* combo, const FolderChoice& choice) {
    QString text = combo->currentText();
    int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0 && static_cast<size_t>(index) < choice.entries.size()) {
        return choice.entries[static_cast<size_t>(index)];
    }
    return ToUtf8(text);
}

QLabel* SamplePanel(const char* name, const char* caption) {
    auto* panel = Named(new QLabel(QString::fromUtf8(caption)), name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    panel->setIndent(8);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return panel;
}

void PaintSample(QLabel* panel, Colour background, Colour text) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, ToQColor(background));
    palette.setColor(QPalette::WindowText, ToQColor(text));
    panel->setPalette(palette);
}

std::vector<IconImage> Icons(const char* name) {
    std::vector<IconImage> icons;
    for (int size : kIconSizes) {
        QFile file(QStringLiteral(":/app/%1-%2.png").arg(QLatin1String(name)).arg(size));
        if (file.open(QIODevice::ReadOnly)) {
            QByteArray bytes = file.readAll();
            icons.push_back({size, bytes.toStdString()});
        }
    }
    return icons;
}

}  // namespace

SetupDialog::SetupDialog(SetupContext context, SetupTarget& target, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), target_(target) {
    setWindowTitle(QStringLiteral("オプション設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    pgc_ = Named(new QTabWidget, "pgc");
    pgc_->addTab(viewPage(), QStringLiteral("表示"));
    pgc_->addTab(colourPage(), QStringLiteral("色"));
    pgc_->addTab(extensionPage(), QStringLiteral("拡張子"));
    pgc_->addTab(savePage(), QStringLiteral("保存"));

    auto* ok = Named(new QPushButton(QStringLiteral("OK")), "btnOk");
    auto* cancel = Named(new QPushButton(QStringLiteral("キャンセル")), "btnCancel");
    auto* help = Named(new QPushButton(QStringLiteral("ヘルプ(&H)")), "btnHelp");
    connect(ok, &QPushButton::clicked, this, &SetupDialog::btnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &SetupDialog::btnHelpClick);
    auto* strip = new QWidget;
    strip->setFixedHeight(kButtonStrip);
    auto* buttons = new QHBoxLayout(strip);
    buttons->setContentsMargins(6, 4, 6, 6);
    buttons->addStretch(1);
    for (QPushButton* button : {ok, cancel, help}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(0);
    layout->addWidget(pgc_, 1);
    layout->addWidget(strip);
    // Only a button already inside the dialog becomes its default: one made default before
    // would lose Enter to the first button of the pages when the dialog is shown.
    ok->setDefault(true);

    fill();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

QWidget* SetupDialog::viewPage() {
    cbMoving_ = Check("cbMoving", "Window移動で画面からはみ出ないようにする (&O)");
    cbTitleFull_ = Check("cbTitleFull", "タイトルのファイル名をフルパス表示 (&F)");
    cbTitleFullActive_ =
        Check("cbTitleFullActive", "タイトルのフルパス表示はアクティブ時のみ (&A)");
    auto* window = Column();
    window->addWidget(cbMoving_);
    window->addWidget(cbTitleFull_);
    window->addLayout(Row({cbTitleFullActive_}, kIndent));

    cbList1_ = Check("cbList1", "内容が ”-” だけなら区切りとする (&K)");
    cbList2_ = Check("cbList2", "文頭１文字目が ”-” ならチェックボックスを表示しない (&C)");
    lblList_ = Named(new QLabel(QStringLiteral("チェックボックスに表示する文字(&M)")), "lblList");
    cmbList_ = Named(new QComboBox, "cmbList");
    cmbList_->setEditable(true);
    cmbList_->setValidator(new MarkValidator(cmbList_));
    cmbList_->setInsertPolicy(QComboBox::NoInsert);
    for (std::string_view mark : MarkEntries()) {
        cmbList_->addItem(FromUtf8(mark));
    }
    cmbList_->setFixedWidth(56);
    lblList_->setBuddy(cmbList_);
    cbListBold_ = Check("cbListBold", "太字 (&B)");
    cbListItalic_ = Check("cbListItalic", "斜体 (&I)");
    cbListUnderline_ = Check("cbListUnderline", "下線 (&U)");
    auto* list = Column();
    list->addWidget(cbList1_);
    list->addWidget(cbList2_);
    list->addLayout(Row({lblList_, cmbList_}, kIndent));
    list->addLayout(Row({cbListBold_, cbListItalic_, cbListUnderline_}, kIndent));

    for (QCheckBox* box : {cbTitleFull_, cbList1_, cbList2_}) {
        connect(box, &QCheckBox::toggled, this, &SetupDialog::applyEnabling);
    }
    auto* page = Named(new QWidget, "tbsV");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Named(Group("< Window >", window), "gbWin"));
    layout->addWidget(Named(Group("< チェックリスト >", list), "gbList"));
    layout->addStretch(1);
    return page;
}

QWidget* SetupDialog::colourPage() {
    auto colourGroup = [](const char* name, const char* caption, QLabel* panel, QPushButton* back,
                          QPushButton* text) {
        auto* buttons = Column(4);
        buttons->addWidget(back);
        buttons->addWidget(text);
        auto* row = new QHBoxLayout;
        row->addWidget(panel, 1);
        row->addLayout(buttons);
        return Named(Group(caption, row), name);
    };
    auto button = [this](const char* name, const char* caption, ViewColour which) {
        auto* b = Named(new QPushButton(QString::fromUtf8(caption)), name);
        connect(b, &QPushButton::clicked, this, [this, which] { chooseColour(which); });
        return b;
    };
    pnlTreeColor_ = SamplePanel("pnlTreeColor", "● ツリー サンプル");
    pnlListColor_ = SamplePanel("pnlListColor", "● チェックリスト サンプル");
    auto* page = Named(new QWidget, "tbsColor");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(
        colourGroup("gbTreeColor", "< ツリー >", pnlTreeColor_,
                    button("btnTreeBackColor", "背景色 (&A) ...", ViewColour::TreeBack),
                    button("btnTreeFontColor", "文字色 (&B) ...", ViewColour::TreeText)));
    layout->addWidget(
        colourGroup("gbListColor", "< チェックリスト >", pnlListColor_,
                    button("btnListBackColor", "背景色 (&C) ...", ViewColour::ListBack),
                    button("btnListFontColor", "文字色 (&D) ...", ViewColour::ListText)));
    return page;
}

QWidget* SetupDialog::extensionPage() {
    btnExt_ = Named(new QPushButton, "btnExt");
    btnExt_->setMinimumHeight(32);
    connect(btnExt_, &QPushButton::clicked, this, &SetupDialog::btnExtClick);
    auto* label =
        Named(new QLabel(QStringLiteral("↑拡張子を関連付ける事により、\n    "
                                        "直接Brenvaleファイル (*.bnv) が開けるようになります。")),
              "lblExt");
    auto* page = Named(new QWidget, "tbsExt");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 24, 24, 12);
    layout->addWidget(btnExt_);
    layout->addWidget(label);
    layout->addStretch(1);
    return page;
}

QWidget* SetupDialog::savePage() {
    cbEveryS_ = Check("cbEveryS", "ファイルごとにWindowサイズ/位置/境界線を保存し再現する (&W)");
    cbSpRemv_ = Check("cbSpRemv", "保存時にチェックリストの文頭/文末の空文字を除去する (&S)");
    cbBackUp_ = Check("cbBackUp", "上書き保存するたびにバックアップファイルを作成・更新する (&B)");
    auto folderRow = [this](const char* labelName, const char* label, const char* comboName,
                            QComboBox** combo, const char* buttonName, const char* caption,
                            QPushButton** button, QLabel** labelOut, bool temporary) {
        *labelOut = Named(new QLabel(QString::fromUtf8(label)), labelName);
        *combo = Named(new FolderCombo, comboName);
        (*combo)->setEditable(true);
        (*combo)->setInsertPolicy(QComboBox::NoInsert);
        (*combo)->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        (*combo)->setMinimumContentsLength(8);
        (*labelOut)->setBuddy(*combo);
        *button = Named(new QPushButton(QString::fromUtf8(caption)), buttonName);
        connect(*button, &QPushButton::clicked, this,
                [this, temporary] { chooseFolder(temporary); });
        return Row({*labelOut, *combo, *button}, kIndent, false);
    };
    QHBoxLayout* backUpRow =
        folderRow("lblBakPass", "保存する場所 (&F)", "cmbBakPass", &cmbBakPass_, "btnBakPass",
                  "参照 (&C) ...", &btnBakPass_, &lblBakPass_, false);
    btnBakPass_->setProperty("tag", 0);
    QHBoxLayout* tempRow =
        folderRow("lblTmpPass", "保存する場所 (&P)", "cmbTmpPass", &cmbTmpPass_, "btnTmpPass",
                  "参照 (&N) ...", &btnTmpPass_, &lblTmpPass_, true);
    btnTmpPass_->setProperty("tag", 1);

    rbAutoSave_ = Named(new QRadioButton(QStringLiteral("自動保存をしない (&A)")), "rbAutoSave");
    rbAutoSaveTmp_ =
        Named(new QRadioButton(QStringLiteral("テンポラリファイルに保存 (&T)")), "rbAutoSaveTmp");
    rbAutoSaveU_ = Named(new QRadioButton(QStringLiteral("上書き保存する (&U)")), "rbAutoSaveU");
    auto* modes = new QButtonGroup(this);
    for (QRadioButton* radio : {rbAutoSave_, rbAutoSaveTmp_, rbAutoSaveU_}) {
        modes->addButton(radio);
        connect(radio, &QRadioButton::toggled, this, &SetupDialog::applyEnabling);
    }
    cbAutoSave_ = Check("cbAutoSave", "上書き確認する (&M)");
    lblAutoSave_ = Named(new QLabel(QStringLiteral("自動保存する間隔 (&K)")), "lblAutoSave");
    cmbAutoSave_ = Named(new QComboBox, "cmbAutoSave");
    for (int minutes : IntervalMinutes()) {
        cmbAutoSave_->addItem(QString::number(minutes));
    }
    lblAutoSave_->setBuddy(cmbAutoSave_);
    lblFun_ = Named(new QLabel(QStringLiteral("分")), "lblFun");
    // The interval sits beside the first mode, so that the page needs no scrolling.
    auto* firstRow = Row({rbAutoSave_});
    firstRow->addWidget(lblAutoSave_);
    firstRow->addWidget(cmbAutoSave_);
    firstRow->addWidget(lblFun_);
    auto* autoSave = Column();
    autoSave->addLayout(firstRow);
    autoSave->addWidget(rbAutoSaveTmp_);
    autoSave->addLayout(tempRow);
    autoSave->addWidget(rbAutoSaveU_);
    autoSave->addLayout(Row({cbAutoSave_}, kIndent));

    connect(cbBackUp_, &QCheckBox::toggled, this, &SetupDialog::applyEnabling);
    auto* page = Named(new QWidget, "tbsSave");
    auto* layout = Column();
    page->setLayout(layout);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->addWidget(cbEveryS_);
    layout->addWidget(cbSpRemv_);
    layout->addWidget(cbBackUp_);
    layout->addLayout(backUpRow);
    layout->addWidget(Named(Group("< 自動保存 >", autoSave), "gbAutoSave"));
    layout->addStretch(1);
    return page;
}

void SetupDialog::fill() {
    FileAssociation association(
        {XdgDirs::From(ProcessEnvironment()), ToUtf8(context_.programPath), {}, {}});
    registered_ = association.IsRegistered();
    showAssociationMode();
    pgc_->setCurrentIndex(0);

    values_ = SetupValues::Open(context_.settings, context_.colours, context_.autoSaveInterval,
                                ToUtf8(context_.programFolder));
    const SetupValues& v = values_;
    cbEveryS_->setChecked(v.applyGeometry);
    cbSpRemv_->setChecked(v.trimItemSpaces);
    cbMoving_->setChecked(v.moving);
    cbTitleFull_->setChecked(v.titleShowsPath);
    cbTitleFullActive_->setChecked(v.titlePathOnlyWhenActive);
    showColours();
    (v.autoSave == AutoSaveMode::OverDocument ? rbAutoSaveU_
     : v.autoSave == AutoSaveMode::TempCopy   ? rbAutoSaveTmp_
                                              : rbAutoSave_)
        ->setChecked(true);
    cbAutoSave_->setChecked(v.confirmAutoSave);
    cmbAutoSave_->setCurrentIndex(static_cast<int>(v.intervalEntry));
    cbBackUp_->setChecked(v.backup);
    FillFolderCombo(cmbBakPass_, v.backupChoice);
    FillFolderCombo(cmbTmpPass_, v.tempChoice);
    cbList1_->setChecked(v.separatorItems);
    cbList2_->setChecked(v.noBoxItems);
    if (std::optional<size_t> entry = MarkEntryFor(v.checkMark)) {
        cmbList_->setCurrentIndex(static_cast<int>(*entry));
    } else {
        cmbList_->setCurrentIndex(-1);
        cmbList_->setEditText(FromCp932(v.checkMark));
    }
    openedMark_ = cmbList_->currentText();
    cbListBold_->setChecked(v.noBoxBold);
    cbListItalic_->setChecked(v.noBoxItalic);
    cbListUnderline_->setChecked(v.noBoxUnderline);
    applyEnabling();
}

void SetupDialog::applyEnabling() {
    SetupValues v = values_;
    v.titleShowsPath = cbTitleFull_->isChecked();
    v.noBoxItems = cbList2_->isChecked();
    v.autoSave = rbAutoSaveU_->isChecked()     ? AutoSaveMode::OverDocument
                 : rbAutoSaveTmp_->isChecked() ? AutoSaveMode::TempCopy
                                               : AutoSaveMode::Off;
    v.backup = cbBackUp_->isChecked();
    SetupEnabling e = EnablingOf(v);
    cbTitleFullActive_->setEnabled(e.titleFullActive);
    for (QWidget* w : std::initializer_list<QWidget*>{lblList_, cmbList_, cbListBold_,
                                                      cbListItalic_, cbListUnderline_}) {
        w->setEnabled(e.mark);
    }
    cbAutoSave_->setEnabled(e.autoSaveConfirm);
    for (QWidget* w : std::initializer_list<QWidget*>{lblAutoSave_, cmbAutoSave_, lblFun_}) {
        w->setEnabled(e.interval);
    }
    EnableFolderCombo(cmbBakPass_, e.backupFolder);
    btnBakPass_->setEnabled(e.backupFolder);
    lblBakPass_->setEnabled(e.backupFolder);
    EnableFolderCombo(cmbTmpPass_, e.tempFolder);
    btnTmpPass_->setEnabled(e.tempFolder);
    lblTmpPass_->setEnabled(e.tempFolder);
}

void SetupDialog::showColours() {
    PaintSample(pnlTreeColor_, values_.colours.treeBack, values_.colours.treeText);
    PaintSample(pnlListColor_, values_.colours.listBack, values_.colours.listText);
}

void SetupDialog::chooseColour(ViewColour which) {
    ViewColours& c = values_.colours;
    Colour& colour = which == ViewColour::TreeBack   ? c.treeBack
                     : which == ViewColour::TreeText ? c.treeText
                     : which == ViewColour::ListBack ? c.listBack
                                                     : c.listText;
    customColours_.PrepareFor(colour);
    // The dialog gets exactly this list: slots it does not name start white.
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, Qt::white);
    }
    for (const CustomColourList::Slot& slot : customColours_.colourSlots()) {
        QColorDialog::setCustomColor(slot.index, ToQColor(slot.colour));
    }
    QColorDialog dialog(ToQColor(colour), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted) {
        colour = FromQColor(dialog.selectedColor());
        showColours();
    }
}

void SetupDialog::chooseFolder(bool temporary) {
    FolderChoice& choice = temporary ? values_.tempChoice : values_.backupChoice;
    QComboBox* combo = temporary ? cmbTmpPass_ : cmbBakPass_;
    QString word =
        temporary ? QStringLiteral("テンポラリファイル") : QStringLiteral("バックアップファイル");
    FolderDialog browser(this);
    browser.setDirectory(combo->currentText());
    browser.setTitle(word + QStringLiteral("を作成するフォルダを選択して下さい"));
    if (!browser.execute()) {
        return;
    }
    choice.Choose(ToUtf8(browser.directory()));
    FillFolderCombo(combo, choice);
}

void SetupDialog::showAssociationMode() {
    AssociationTexts texts = AssociationTexts::For(kExtension);
    btnExt_->setText(FromUtf8(registered_ ? texts.removeCaption : texts.associateCaption));
}

void SetupDialog::btnExtClick() {
    AssociationTexts t = AssociationTexts::For(kExtension);
    auto tell = [this](const std::string& text, MessageKind kind) {
        return ShowMessageBox(this, FromUtf8(text), kind,
                              kind == MessageKind::Information || kind == MessageKind::Error
                                  ? MessageButtons::Ok
                                  : MessageButtons::OkCancel);
    };
    if (ShowMessageBox(this, FromUtf8(registered_ ? t.askRemove : t.askAssociate),
                       MessageKind::Information, MessageButtons::OkCancel) != MessageAnswer::Ok) {
        return;
    }
    FileAssociation association({XdgDirs::From(ProcessEnvironment()), ToUtf8(context_.programPath),
                                 Icons("mainicon"), Icons("myicon")});
    if (registered_) {
        if (association.Unregister()) {
            tell(t.removed, MessageKind::Information);
            registered_ = false;
            showAssociationMode();
        } else {
            tell(t.removeFailed, MessageKind::Error);
        }
        return;
    }
    bool taken = association.IsTakenByOther();
    if (taken && tell(t.askOverwrite, MessageKind::Warning) != MessageAnswer::Ok) {
        return;
    }
    try {
        association.Register(taken ? ToUtf8(QDir::current().absoluteFilePath("Save.reg"))
                                   : std::string());
    } catch (const Error& error) {
        tell(error.what(), MessageKind::Error);
        return;
    }
    tell(taken ? t.associatedWithRestore : t.associated, MessageKind::Information);
    registered_ = true;
    showAssociationMode();
}

SetupValues SetupDialog::collect() const {
    SetupValues v = values_;
    v.moving = cbMoving_->isChecked();
    v.titleShowsPath = cbTitleFull_->isChecked();
    v.titlePathOnlyWhenActive = cbTitleFullActive_->isChecked();
    v.applyGeometry = cbEveryS_->isChecked();
    v.trimItemSpaces = cbSpRemv_->isChecked();
    v.autoSave = rbAutoSaveU_->isChecked()     ? AutoSaveMode::OverDocument
                 : rbAutoSaveTmp_->isChecked() ? AutoSaveMode::TempCopy
                                               : AutoSaveMode::Off;
    v.confirmAutoSave = cbAutoSave_->isChecked();
    v.intervalEntry = static_cast<size_t>(std::max(0, cmbAutoSave_->currentIndex()));
    v.backup = cbBackUp_->isChecked();
    v.backupFolderText = FolderText(cmbBakPass_, v.backupChoice);
    v.tempFolderText = FolderText(cmbTmpPass_, v.tempChoice);
    v.separatorItems = cbList1_->isChecked();
    v.noBoxItems = cbList2_->isChecked();
    // An unchanged mark keeps its bytes, also one the list could not have produced.
    if (cmbList_->currentText() != openedMark_) {
        v.checkMark = ToCp932(cmbList_->currentText()).value_or(values_.checkMark);
    }
    v.noBoxBold = cbListBold_->isChecked();
    v.noBoxItalic = cbListItalic_->isChecked();
    v.noBoxUnderline = cbListUnderline_->isChecked();
    return v;
}

void SetupDialog::btnOkClick() {
    IniFile ini(ToUtf8(context_.settingsFile));
    try {
        WriteSetup(ini, collect(), context_.settings, target_);
    } catch (const Error& error) {
        // What was written before stays applied; the dialog stays open for Cancel or another
        // try.
        ShowMessageBox(this, FromUtf8(error.what()), MessageKind::Error, MessageButtons::Ok);
        return;
    }
    accept();
}

void SetupDialog::btnHelpClick() {
    ShowHelpContext(this, kHelpSetupView + pgc_->currentIndex());
}

}  // namespace brenvale
