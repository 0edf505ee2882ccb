#include "ui/options_dialog.h"

#include <algorithm>

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

#include <array>
#include <tuple>

#include "common/error.h"
#include "settings/file_association.h"
#include "settings/ini_file.h"
#include "ui/codec.h"
#include "ui/colours.h"
#include "ui/folder_dialog.h"
#include "ui/help_context.h"
#include "ui/message_box.h"
#include "ui/option_bindings.h"

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

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
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

QLabel* SamplePanel(const char* name, const char* caption) {
    auto* panel = Named(new QLabel(QString::fromUtf8(caption)), name);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setAutoFillBackground(true);
    panel->setIndent(8);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return panel;
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

OptionsDialog::OptionsDialog(OptionsContext context, OptionTarget& target, QWidget* parent)
    : QDialog(parent), context_(std::move(context)), target_(target) {
    setWindowTitle(QStringLiteral("オプション設定"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    pages_ = Named(new QTabWidget, "pgc");
    pages_->addTab(viewPage(), QStringLiteral("表示"));
    pages_->addTab(colourPage(), QStringLiteral("色"));
    pages_->addTab(extensionPage(), QStringLiteral("拡張子"));
    pages_->addTab(savePage(), QStringLiteral("保存"));

    auto* ok = Named(new QPushButton(QStringLiteral("OK")), "btnOk");
    auto* cancel = Named(new QPushButton(QStringLiteral("キャンセル")), "btnCancel");
    auto* help = Named(new QPushButton(QStringLiteral("ヘルプ(&H)")), "btnHelp");
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::btnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, &OptionsDialog::btnHelpClick);
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
    layout->addWidget(pages_, 1);
    layout->addWidget(strip);
    // Only a button already inside the dialog becomes its default: one made default before
    // would lose Enter to the first button of the pages when the dialog is shown.
    ok->setDefault(true);
    // The dialog keeps its width; it grows taller only where the font needs more room for the
    // view page's options than the usual height gives.
    setFixedSize(kClientWidth, std::max(kClientHeight, minimumSizeHint().height()));

    fill();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

OptionsDialog::~OptionsDialog() = default;

// A check box bound to a bool option; every change of it runs the enabling rules.
QCheckBox* OptionsDialog::boundCheck(const char* name, const char* caption, bool Settings::*field) {
    auto* box = Named(new QCheckBox(QString::fromUtf8(caption)), name);
    bindings_.push_back(std::make_unique<CheckBinding>(box, field));
    connect(box, &QCheckBox::toggled, this, &OptionsDialog::applyEnabling);
    return box;
}

QWidget* OptionsDialog::viewPage() {
    cbTitleFullActive_ =
        boundCheck("cbTitleFullActive", "タイトルのフルパス表示はアクティブ時のみ (&A)",
                   &Settings::titlePathOnlyWhenActive);
    auto* window = Column();
    window->addWidget(boundCheck("cbMoving", "Window移動で画面からはみ出ないようにする (&O)",
                                 &Settings::keepOnScreen));
    window->addWidget(boundCheck("cbTitleFull", "タイトルのファイル名をフルパス表示 (&F)",
                                 &Settings::titleShowsPath));
    window->addLayout(Row({cbTitleFullActive_}, kIndent));

    markLabel_ = Named(new QLabel(QStringLiteral("チェックボックスに表示する文字(&M)")), "lblList");
    markBox_ = Named(new QComboBox, "cmbList");
    bindings_.push_back(std::make_unique<MarkBinding>(markBox_, &Settings::checkMark));
    markBox_->setFixedWidth(56);
    markLabel_->setBuddy(markBox_);
    cbListBold_ = boundCheck("cbListBold", "太字 (&B)", &Settings::noBoxBold);
    cbListItalic_ = boundCheck("cbListItalic", "斜体 (&I)", &Settings::noBoxItalic);
    cbListUnderline_ = boundCheck("cbListUnderline", "下線 (&U)", &Settings::noBoxUnderline);
    auto* list = Column();
    list->addWidget(
        boundCheck("cbList1", "内容が ”-” だけなら区切りとする (&K)", &Settings::separatorItems));
    list->addWidget(boundCheck("cbList2",
                               "文頭１文字目が ”-” ならチェックボックスを表示しない (&C)",
                               &Settings::noBoxItems));
    list->addLayout(Row({markLabel_, markBox_}, kIndent));
    list->addLayout(Row({cbListBold_, cbListItalic_, cbListUnderline_}, kIndent));
    list->addWidget(boundCheck("cbDoneDate", "完了日を記録 (&D)", &Settings::recordDoneDate));
    list->addWidget(boundCheck("cbListGray", "チェック済みの項目を灰色で表示 (&G)",
                               &Settings::greyCheckedItems));
    auto* tree = Column();
    tree->addWidget(boundCheck("cbTreeRootButtons", "最上位のトピックにも展開ボタンを表示 (&T)",
                               &Settings::topLevelButtons));

    auto* page = Named(new QWidget, "tbsV");
    auto* layout = new QVBoxLayout(page);
    layout->setSpacing(4);
    layout->addWidget(Named(Group("< Window >", window), "gbWin"));
    layout->addWidget(Named(Group("< ツリー >", tree), "gbTree"));
    layout->addWidget(Named(Group("< チェックリスト >", list), "gbList"));
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::colourPage() {
    // A sample panel holds a background and a text colour; each button chooses one of them.
    auto colourGroup = [this](const char* name, const char* caption, const char* panelName,
                              const char* sample, std::pair<const char*, const char*> back,
                              std::pair<const char*, const char*> text,
                              Colour ViewColours::*backField, Colour ViewColours::*textField) {
        QLabel* panel = SamplePanel(panelName, sample);
        auto* buttons = Column(4);
        for (auto [button, field, role] :
             {std::tuple{back, backField, ColourBinding::Role::Background},
              std::tuple{text, textField, ColourBinding::Role::Text}}) {
            auto binding = std::make_unique<ColourBinding>(panel, field, role);
            ColourBinding* bound = binding.get();
            bindings_.push_back(std::move(binding));
            auto* b = Named(new QPushButton(QString::fromUtf8(button.second)), button.first);
            connect(b, &QPushButton::clicked, this, [this, bound] { chooseColour(bound); });
            buttons->addWidget(b);
        }
        auto* row = new QHBoxLayout;
        row->addWidget(panel, 1);
        row->addLayout(buttons);
        return Named(Group(caption, row), name);
    };
    auto* page = Named(new QWidget, "tbsColor");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(colourGroup("gbTreeColor", "< ツリー >", "pnlTreeColor", "● ツリー サンプル",
                                  {"btnTreeBackColor", "背景色 (&A) ..."},
                                  {"btnTreeFontColor", "文字色 (&B) ..."}, &ViewColours::treeBack,
                                  &ViewColours::treeText));
    layout->addWidget(colourGroup(
        "gbListColor", "< チェックリスト >", "pnlListColor", "● チェックリスト サンプル",
        {"btnListBackColor", "背景色 (&C) ..."}, {"btnListFontColor", "文字色 (&D) ..."},
        &ViewColours::listBack, &ViewColours::listText));
    return page;
}

QWidget* OptionsDialog::extensionPage() {
    associateButton_ = Named(new QPushButton, "btnExt");
    associateButton_->setMinimumHeight(32);
    connect(associateButton_, &QPushButton::clicked, this, &OptionsDialog::btnExtClick);
    auto* label =
        Named(new QLabel(QStringLiteral("↑拡張子を関連付ける事により、\n    "
                                        "直接Brenvaleファイル (*.bnv) が開けるようになります。")),
              "lblExt");
    auto* page = Named(new QWidget, "tbsExt");
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 24, 24, 12);
    layout->addWidget(associateButton_);
    layout->addWidget(label);
    layout->addStretch(1);
    return page;
}

QWidget* OptionsDialog::savePage() {
    auto folderRow = [this](const char* labelName, const char* label, const char* comboName,
                            QComboBox** combo, const char* buttonName, const char* caption,
                            QPushButton** button, QLabel** labelOut, std::string Settings::*field,
                            bool temporary) {
        *labelOut = Named(new QLabel(QString::fromUtf8(label)), labelName);
        *combo = Named(new FolderCombo, comboName);
        (*combo)->setEditable(true);
        (*combo)->setInsertPolicy(QComboBox::NoInsert);
        (*combo)->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        (*combo)->setMinimumContentsLength(8);
        (*labelOut)->setBuddy(*combo);
        auto binding = std::make_unique<FolderBinding>(*combo, field, context_.programFolder);
        FolderBinding* bound = binding.get();
        bindings_.push_back(std::move(binding));
        *button = Named(new QPushButton(QString::fromUtf8(caption)), buttonName);
        connect(*button, &QPushButton::clicked, this, [this, bound, combo = *combo, temporary] {
            chooseFolder(bound, combo, temporary);
        });
        return Row({*labelOut, *combo, *button}, kIndent, false);
    };
    auto* everyS =
        boundCheck("cbEveryS", "ファイルごとにWindowサイズ/位置/境界線を保存し再現する (&W)",
                   &Settings::applyGeometry);
    auto* spRemv =
        boundCheck("cbSpRemv", "保存時にチェックリストの文頭/文末の空文字を除去する (&S)",
                   &Settings::trimItemSpaces);
    auto* backUp =
        boundCheck("cbBackUp", "上書き保存するたびにバックアップファイルを作成・更新する (&B)",
                   &Settings::backup);
    QHBoxLayout* backUpRow = folderRow(
        "lblBakPass", "保存する場所 (&F)", "cmbBakPass", &backupFolderBox_, "btnBakPass",
        "参照 (&C) ...", &backupFolderButton_, &backupFolderLabel_, &Settings::backupFolder, false);
    backupFolderButton_->setProperty("tag", 0);
    QHBoxLayout* tempRow = folderRow(
        "lblTmpPass", "保存する場所 (&P)", "cmbTmpPass", &tempFolderBox_, "btnTmpPass",
        "参照 (&N) ...", &tempFolderButton_, &tempFolderLabel_, &Settings::tempFolder, true);
    tempFolderButton_->setProperty("tag", 1);

    auto* rbAutoSave =
        Named(new QRadioButton(QStringLiteral("自動保存をしない (&A)")), "rbAutoSave");
    auto* rbAutoSaveTmp =
        Named(new QRadioButton(QStringLiteral("テンポラリファイルに保存 (&T)")), "rbAutoSaveTmp");
    auto* rbAutoSaveU =
        Named(new QRadioButton(QStringLiteral("上書き保存する (&U)")), "rbAutoSaveU");
    bindings_.push_back(std::make_unique<ModeBinding>(
        std::array{rbAutoSave, rbAutoSaveTmp, rbAutoSaveU}, &Settings::autoSave));
    auto* modes = new QButtonGroup(this);
    for (QRadioButton* radio : {rbAutoSave, rbAutoSaveTmp, rbAutoSaveU}) {
        modes->addButton(radio);
        connect(radio, &QRadioButton::toggled, this, &OptionsDialog::applyEnabling);
    }
    cbAutoSave_ = boundCheck("cbAutoSave", "上書き確認する (&M)", &Settings::confirmAutoSave);
    lblAutoSave_ = Named(new QLabel(QStringLiteral("自動保存する間隔 (&K)")), "lblAutoSave");
    cmbAutoSave_ = Named(new QComboBox, "cmbAutoSave");
    bindings_.push_back(
        std::make_unique<IntervalBinding>(cmbAutoSave_, &OptionValues::autoSaveInterval));
    lblAutoSave_->setBuddy(cmbAutoSave_);
    minutesLabel_ = Named(new QLabel(QStringLiteral("分")), "lblFun");
    // The interval sits beside the first mode, so that the page needs no scrolling.
    auto* firstRow = Row({rbAutoSave});
    firstRow->addWidget(lblAutoSave_);
    firstRow->addWidget(cmbAutoSave_);
    firstRow->addWidget(minutesLabel_);
    auto* autoSave = Column();
    autoSave->addLayout(firstRow);
    autoSave->addWidget(rbAutoSaveTmp);
    autoSave->addLayout(tempRow);
    autoSave->addWidget(rbAutoSaveU);
    autoSave->addLayout(Row({cbAutoSave_}, kIndent));

    auto* page = Named(new QWidget, "tbsSave");
    auto* layout = Column();
    page->setLayout(layout);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->addWidget(everyS);
    layout->addWidget(spRemv);
    layout->addWidget(backUp);
    layout->addLayout(backUpRow);
    layout->addWidget(Named(Group("< 自動保存 >", autoSave), "gbAutoSave"));
    layout->addStretch(1);
    return page;
}

void OptionsDialog::fill() {
    FileAssociation association(
        {XdgDirs::From(ProcessEnvironment()), ToUtf8(context_.programPath), {}, {}});
    registered_ = association.IsRegistered();
    showAssociationMode();
    pages_->setCurrentIndex(0);

    opened_ = OpenOptionValues(context_.values);
    filling_ = true;
    for (const auto& binding : bindings_) {
        binding->Show(opened_);
    }
    filling_ = false;
    applyEnabling();
}

void OptionsDialog::applyEnabling() {
    if (filling_) {
        return;  // the rules run once every control shows its value
    }
    OptionEnabling e = EnablingOf(collect());
    cbTitleFullActive_->setEnabled(e.titleFullActive);
    for (QWidget* w : std::initializer_list<QWidget*>{markLabel_, markBox_, cbListBold_,
                                                      cbListItalic_, cbListUnderline_}) {
        w->setEnabled(e.mark);
    }
    cbAutoSave_->setEnabled(e.autoSaveConfirm);
    for (QWidget* w : std::initializer_list<QWidget*>{lblAutoSave_, cmbAutoSave_, minutesLabel_}) {
        w->setEnabled(e.interval);
    }
    EnableFolderCombo(backupFolderBox_, e.backupFolder);
    backupFolderButton_->setEnabled(e.backupFolder);
    backupFolderLabel_->setEnabled(e.backupFolder);
    EnableFolderCombo(tempFolderBox_, e.tempFolder);
    tempFolderButton_->setEnabled(e.tempFolder);
    tempFolderLabel_->setEnabled(e.tempFolder);
}

void OptionsDialog::chooseColour(ColourBinding* binding) {
    customColours_.PrepareFor(binding->colour());
    // The dialog gets exactly this list: slots it does not name start white.
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        QColorDialog::setCustomColor(i, Qt::white);
    }
    for (const CustomColourList::Slot& slot : customColours_.colourSlots()) {
        QColorDialog::setCustomColor(slot.index, ToQColor(slot.colour));
    }
    QColorDialog dialog(ToQColor(binding->colour()), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted) {
        binding->choose(FromQColor(dialog.selectedColor()));
    }
}

void OptionsDialog::chooseFolder(FolderBinding* binding, QComboBox* combo, bool temporary) {
    QString word =
        temporary ? QStringLiteral("テンポラリファイル") : QStringLiteral("バックアップファイル");
    FolderDialog browser(this);
    browser.setDirectory(combo->currentText());
    browser.setTitle(word + QStringLiteral("を作成するフォルダを選択して下さい"));
    if (browser.execute()) {
        binding->Choose(browser.directory());
    }
}

void OptionsDialog::showAssociationMode() {
    AssociationTexts texts = AssociationTexts::For(kExtension);
    associateButton_->setText(FromUtf8(registered_ ? texts.removeCaption : texts.associateCaption));
}

void OptionsDialog::btnExtClick() {
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

OptionValues OptionsDialog::collect() const {
    OptionValues values = opened_;
    for (const auto& binding : bindings_) {
        binding->Take(values);
    }
    return values;
}

void OptionsDialog::btnOkClick() {
    IniFile ini(ToUtf8(context_.settingsFile));
    try {
        WriteOptions(ini, collect(), context_.values.settings, target_);
    } catch (const Error& error) {
        // What was written before stays applied; the dialog stays open for Cancel or another
        // try.
        ShowMessageBox(this, FromUtf8(error.what()), MessageKind::Error, MessageButtons::Ok);
        return;
    }
    accept();
}

void OptionsDialog::btnHelpClick() {
    ShowHelpContext(this, kHelpOptionsView + pages_->currentIndex());
}

}  // namespace brenvale
