#include "ui/shortcut_key_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

#include "common/error.h"
#include "common/path.h"
#include "editor/command_table.h"
#include "ui/codec.h"
#include "ui/command_actions.h"
#include "ui/dialog_frame.h"
#include "ui/error_report.h"
#include "ui/file_name_dialog.h"
#include "ui/help_context.h"
#include "ui/key_table_model.h"
#include "ui/message_box.h"

namespace brenvale {

namespace {

constexpr int kKeyDialogWidth = 514;
constexpr int kKeyDialogHeight = 317;
constexpr int kColumnWidths[] = {36, 132, 117, 105};
// The "No." column's picture and the gap after it.
constexpr int kPictureWidth = 20;
// Besides the list: its margin, the gap and the panel of keys on the right.
constexpr int kOutside = 4 + 4 + 99;
const char* const kFilter =
    "Brenvale ショートカットキーファイル (*.key)|*.key|すべてのファイル (*.*)|*.*";

// The "No." column is 36 pixels wide: the picture and the two digits sit close together.
class NumberColumnDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem background = option;
        initStyleOption(&background, index);
        const QIcon icon = background.icon;
        const QString text = background.text;
        background.icon = QIcon();
        background.text.clear();
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
        const QRect r = option.rect;
        icon.paint(painter, QRect(r.left() + 2, r.top() + (r.height() - 16) / 2, 16, 16));
        painter->save();
        painter->setPen(option.palette.color(
            option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
        painter->drawText(r.adjusted(kPictureWidth, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          text);
        painter->restore();
    }
};

}  // namespace

ShortcutKeyDialog::ShortcutKeyDialog(CommandActions& actions, const ImageLists& images,
                                     QString shortcutFile, QWidget* parent)
    : QDialog(parent),
      actions_(actions),
      shortcutFile_(std::move(shortcutFile)),
      commands_(CommandEntries()),
      keys_(commands_, actions.shortcuts()),
      openFile_(shortcutFile_),
      saveFile_(shortcutFile_) {
    setWindowTitle(QStringLiteral("ショートカットキー設定"));
    model_ = new KeyTableModel(keys_, images, this);
    buildLayout();
    FrameAsSizableDialog(this, QSize(kKeyDialogWidth, kKeyDialogHeight));
    // Wide enough that no command, key or category is cut off.
    const int listWidth = sizeColumnsToContents() + 2 * lvKey_->frameWidth() +
                          style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lvKey_);
    ResizeCentred(this, QSize(std::max(kKeyDialogWidth, listWidth + kOutside), kKeyDialogHeight));
    selectRow(0);
    lvKey_->setFocus();
}

ShortcutKeyDialog::~ShortcutKeyDialog() = default;

int ShortcutKeyDialog::sizeColumnsToContents() {
    QHeaderView* header = lvKey_->header();
    const QFontMetrics metrics(lvKey_->font());
    const int padding =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lvKey_) + 1) + 8;
    int total = 0;
    for (int column = 0; column < 4; ++column) {
        int width = std::max(kColumnWidths[column], header->sectionSizeHint(column));
        // The key column also fits the longest key the dialog can compose.
        int text =
            column == 2 ? metrics.horizontalAdvance(QStringLiteral("Shift+Ctrl+Alt+Right")) : 0;
        for (int row = 0; row < model_->rowCount(); ++row) {
            text = std::max(
                text, metrics.horizontalAdvance(model_->index(row, column).data().toString()));
        }
        // The "No." column draws the picture before its digits.
        width = std::max(width, text + padding + (column == 0 ? kPictureWidth : 0));
        header->resizeSection(column, width);
        total += width;
    }
    return total;
}

void ShortcutKeyDialog::buildLayout() {
    lvKey_ = new QTreeView;
    lvKey_->setModel(model_);
    lvKey_->setRootIsDecorated(false);
    lvKey_->setUniformRowHeights(true);
    lvKey_->setItemsExpandable(false);
    lvKey_->setAllColumnsShowFocus(true);
    lvKey_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvKey_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvKey_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvKey_->header()->setSectionsMovable(false);
    lvKey_->header()->setSectionsClickable(true);
    lvKey_->header()->setStretchLastSection(false);
    lvKey_->setItemDelegateForColumn(0, new NumberColumnDelegate(lvKey_));
    KeepSelectionVisible(lvKey_);
    connect(lvKey_->header(), &QHeaderView::sectionClicked, this,
            [this](int section) { lvKeyColumnClick(section + 1); });
    connect(lvKey_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) {
                if (!selected.indexes().isEmpty()) {
                    lvKeySelectItem(static_cast<size_t>(selected.indexes().first().row()));
                }
            });

    lbKey_ = new QListWidget;
    lbKey_->setFixedSize(73, 193);
    for (std::string_view key : ShortcutDialogKeys()) {
        lbKey_->addItem(FromUtf8(key));
    }
    connect(lbKey_, &QListWidget::currentRowChanged, this, &ShortcutKeyDialog::lbKeyClick);
    connect(lbKey_, &QListWidget::itemClicked, this, &ShortcutKeyDialog::lbKeyClick);
    cbShift_ = new QCheckBox(QStringLiteral("Shift(&S)"));
    cbCtrl_ = new QCheckBox(QStringLiteral("Ctrl(&C)"));
    cbAlt_ = new QCheckBox(QStringLiteral("Alt(&A)"));
    auto* keyPanel = new QWidget;
    keyPanel->setFixedWidth(99);
    auto* keyLayout = new QVBoxLayout(keyPanel);
    keyLayout->setContentsMargins(13, 0, 13, 0);
    keyLayout->setSpacing(2);
    keyLayout->addWidget(lbKey_);
    for (QCheckBox* box : {cbShift_, cbCtrl_, cbAlt_}) {
        connect(box, &QCheckBox::clicked, this, &ShortcutKeyDialog::lbKeyClick);
        keyLayout->addWidget(box);
    }
    keyLayout->addStretch(1);

    auto* btnLoad = new QPushButton(QStringLiteral("読込み(&O)..."));
    auto* btnSave = new QPushButton(QStringLiteral("保存(&S)..."));
    btnOk_ = new QPushButton(QStringLiteral("OK"));
    btnOk_->setDefault(true);
    auto* btnCancel = new QPushButton(QStringLiteral("キャンセル"));
    auto* btnHelp = new QPushButton(QStringLiteral("ヘルプ(&H)"));
    connect(btnLoad, &QPushButton::clicked, this, &ShortcutKeyDialog::btnLoadClick);
    connect(btnSave, &QPushButton::clicked, this, &ShortcutKeyDialog::btnSaveClick);
    connect(btnOk_, &QPushButton::clicked, this, &ShortcutKeyDialog::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this,
            [this] { ShowHelpContext(this, kHelpShortcutKeys); });

    auto* bottom = new QWidget;
    bottom->setFixedHeight(34);
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(4, 4, 4, 5);
    bottomLayout->setSpacing(4);
    for (QPushButton* b : {btnLoad, btnSave}) {
        bottomLayout->addWidget(SizedDialogButton(b));
    }
    bottomLayout->addStretch(1);
    for (QPushButton* b : {btnOk_, btnCancel, btnHelp}) {
        bottomLayout->addWidget(SizedDialogButton(b));
    }

    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 4, 0, 0);
    top->setSpacing(4);
    top->addWidget(lvKey_, 1);
    top->addWidget(keyPanel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(top, 1);
    layout->addWidget(bottom);
}

std::optional<size_t> ShortcutKeyDialog::selectedRow() const {
    QModelIndexList rows = lvKey_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return static_cast<size_t>(rows.first().row());
}

void ShortcutKeyDialog::selectRow(size_t row) {
    QModelIndex index = model_->index(static_cast<int>(row), 0);
    lvKey_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvKey_->scrollTo(index);
}

// The controls show the selected row's key. Setting them does not compose the row's text
// again, so a key the list does not offer (Ctrl+PgUp from a file) stays as it is.
void ShortcutKeyDialog::lvKeySelectItem(size_t row) {
    ShortcutKeyList::Controls controls = keys_.ControlsFor(row);
    QSignalBlocker blockList(lbKey_);
    if (controls.keyEntry) {
        lbKey_->setCurrentRow(static_cast<int>(*controls.keyEntry));
    }
    cbShift_->setChecked(controls.shift);
    cbCtrl_->setChecked(controls.ctrl);
    cbAlt_->setChecked(controls.alt);
}

void ShortcutKeyDialog::lbKeyClick() {
    std::optional<size_t> row = selectedRow();
    if (!row) {
        return;
    }
    int entry = lbKey_->currentRow();
    keys_.setKeyText(*row, ShortcutKeyList::ComposeKey(
                               entry >= 0 ? std::optional<size_t>(entry) : std::nullopt,
                               cbShift_->isChecked(), cbCtrl_->isChecked(), cbAlt_->isChecked()));
    model_->keyTextChanged(static_cast<int>(*row));
}

void ShortcutKeyDialog::lvKeyColumnClick(int column) {
    std::optional<size_t> row = selectedRow();
    std::optional<size_t> command = row ? std::optional(keys_.commandAt(*row)) : std::nullopt;
    model_->reorder([&] { keys_.ClickColumn(column); });
    if (command) {
        selectRow(*keys_.rowOf(*command));
    }
}

void ShortcutKeyDialog::btnOkClick() {
    bool confirmed = keys_.ConfirmKeys([this](size_t row, const std::string& message) {
        selectRow(row);
        lvKey_->setFocus();
        return ShowMessageBox(this, FromUtf8(message), MessageKind::Warning,
                              MessageButtons::OkCancel) == MessageAnswer::Ok;
    });
    if (!confirmed) {
        return;
    }
    std::vector<Shortcut> shortcuts;
    model_->reorder([&] { shortcuts = keys_.SortedShortcuts(); });
    actions_.setShortcuts(shortcuts);
    try {
        WriteShortcutFile(ToUtf8(shortcutFile_), keys_.FileLines());
    } catch (const Error& error) {
        ReportError(error);
        return;
    }
    accept();
}

void ShortcutKeyDialog::btnLoadClick() {
    FileDialogOptions options{"ショートカットキーファイルを開く", kFilter, 1, "key",
                              ToUtf8(openFile_)};
    if (std::optional<std::string> path = AskFileName(this, options, false)) {
        openFile_ = FromUtf8(*path);
        importFile(openFile_);
    }
}

void ShortcutKeyDialog::btnSaveClick() {
    FileDialogOptions options{"ショートカットキーファイルに名前を付けて保存する", kFilter, 1, "key",
                              ToUtf8(saveFile_)};
    if (std::optional<std::string> path = AskFileName(this, options, true)) {
        saveFile_ = FromUtf8(*path);
        exportFile(saveFile_);
    }
}

void ShortcutKeyDialog::importFile(const QString& path) {
    if (std::optional<std::string> missing = keys_.Import(ToUtf8(path))) {
        ShowMessageBox(this, FromUtf8(*missing), MessageKind::Error, MessageButtons::Ok);
        return;
    }
    model_->allKeyTextsChanged();
    if (std::optional<size_t> row = selectedRow()) {
        lvKeySelectItem(*row);
    }
}

void ShortcutKeyDialog::exportFile(const QString& path) {
    const std::string file = ToUtf8(path);
    if (FileExists(file) &&
        ShowMessageBox(this, FromUtf8(ShortcutKeyList::OverwriteQuestion(file)),
                       MessageKind::Warning, MessageButtons::OkCancel) != MessageAnswer::Ok) {
        return;
    }
    try {
        keys_.Export(file);
    } catch (const Error& error) {
        ReportError(error);
    }
}

}  // namespace brenvale
