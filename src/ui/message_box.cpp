#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace brenvale {

namespace {

struct KindLook {
    QString caption;
    QMessageBox::Icon icon;
};

KindLook LookOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Warning:
            return {QStringLiteral("警告"), QMessageBox::Warning};
        case MessageKind::Error:
            return {QStringLiteral("エラー"), QMessageBox::Critical};
        case MessageKind::Information:
            return {QStringLiteral("情報"), QMessageBox::Information};
        case MessageKind::Confirmation:
            return {QStringLiteral("確認"), QMessageBox::Question};
    }
    return {QString::fromUtf8(kApplicationTitle), QMessageBox::NoIcon};
}

}  // namespace

MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, MessageKind kind,
                             MessageButtons buttons) {
    QApplication::beep();
    KindLook look = LookOf(kind);
    QMessageBox box(look.icon, look.caption, text, QMessageBox::NoButton, parent);
    bool yesNo = buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel;
    bool ok = buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel;
    bool cancel = buttons == MessageButtons::OkCancel || buttons == MessageButtons::YesNoCancel;
    QPushButton* yesButton = nullptr;
    QPushButton* noButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    if (yesNo) {
        yesButton = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        noButton = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    }
    if (ok) {
        okButton = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    }
    if (cancel) {
        cancelButton = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    }
    box.setDefaultButton(okButton ? okButton : yesButton);
    box.setEscapeButton(cancelButton ? cancelButton : noButton ? noButton : okButton);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    if (clicked == yesButton && yesButton) {
        return MessageAnswer::Yes;
    }
    if (clicked == noButton && noButton) {
        return MessageAnswer::No;
    }
    if (clicked == okButton && okButton) {
        return MessageAnswer::Ok;
    }
    return MessageAnswer::Cancel;
}

}  // namespace brenvale
