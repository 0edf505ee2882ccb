#include "ui/tag_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/codec.h"
#include "ui/dialog_frame.h"
#include "ui/message_box.h"

namespace brenvale {

namespace {

const char* Title(TagEditKind kind) {
    switch (kind) {
        case TagEditKind::Add:
            return "タグを追加";
        case TagEditKind::Remove:
            return "タグを外す";
        case TagEditKind::Rename:
            break;
    }
    return "タグ名を変更";
}

}  // namespace

TagDialog::TagDialog(const TagEditRequest& request, QWidget* parent)
    : QDialog(parent), request_(request) {
    setWindowTitle(QString::fromUtf8(Title(request.kind)));
    name_ = new QComboBox(this);
    name_->setObjectName(QStringLiteral("cmbTag"));
    name_->setMinimumWidth(220);
    bool adding = request.kind == TagEditKind::Add;
    name_->setEditable(adding);
    for (const std::string& tag : adding ? request.knownTags : request.itemTags) {
        name_->addItem(FromCp932(tag));
    }
    if (adding) {
        name_->setCurrentText({});
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("タグ(&T):"), name_);
    if (request.kind == TagEditKind::Rename) {
        to_ = new QLineEdit(this);
        to_->setObjectName(QStringLiteral("edtNewTag"));
        form->addRow(QStringLiteral("新しい名前(&N):"), to_);
    }

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = SizedDialogButton(buttons->addButton(QDialogButtonBox::Ok));
    SizedDialogButton(buttons->addButton(QDialogButtonBox::Cancel))
        ->setText(QStringLiteral("キャンセル"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TagDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addWidget(buttons);
}

TagEditAnswer TagDialog::answer() const {
    TagEditAnswer answer;
    answer.name = ToCp932(name_->currentText().trimmed());
    if (to_) {
        answer.to = ToCp932(to_->text().trimmed());
    }
    return answer;
}

void TagDialog::accept() {
    if (std::optional<std::string> problem = TagEditProblem(request_, answer())) {
        ShowMessageBox(this, FromUtf8(*problem), MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    QDialog::accept();
}

std::optional<TagEditAnswer> TagDialog::Ask(QWidget* parent, const TagEditRequest& request) {
    TagDialog dialog(request, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.answer();
}

}  // namespace brenvale
