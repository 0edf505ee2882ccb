#include "ui/print_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/dialog_frame.h"

namespace brenvale {

PrintOptionsDialog::PrintOptionsDialog(QWidget* parent, const QString& title,
                                       const QString& topicCaption, bool wholeDocument,
                                       bool greyChecked)
    : QDialog(parent) {
    setWindowTitle(title);
    auto* range = new QGroupBox(QStringLiteral("範囲"), this);
    whole_ = new QRadioButton(QStringLiteral("文書全体(&A)"), range);
    topic_ = new QRadioButton(topicCaption.isNull()
                                  ? QStringLiteral("選択中のトピックとその下の階層(&S)")
                                  : QStringLiteral("「%1」とその下の階層(&S)").arg(topicCaption),
                              range);
    topic_->setEnabled(!topicCaption.isNull());
    (wholeDocument || topicCaption.isNull() ? whole_ : topic_)->setChecked(true);
    auto* rangeLayout = new QVBoxLayout(range);
    rangeLayout->addWidget(whole_);
    rangeLayout->addWidget(topic_);

    grey_ = new QCheckBox(QStringLiteral("チェック済みの項目を灰色にする(&G)"), this);
    grey_->setChecked(greyChecked);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = SizedDialogButton(buttons->addButton(QDialogButtonBox::Ok));
    SizedDialogButton(buttons->addButton(QDialogButtonBox::Cancel))
        ->setText(QStringLiteral("キャンセル"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(range);
    layout->addWidget(grey_);
    layout->addStretch();
    layout->addWidget(buttons);
}

bool PrintOptionsDialog::wholeDocument() const {
    return whole_->isChecked();
}

bool PrintOptionsDialog::greyChecked() const {
    return grey_->isChecked();
}

}  // namespace brenvale
