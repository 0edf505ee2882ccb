#include "ui/message_box.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "ui/alert_sound.h"

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

// A message box centred on the screen whose close box answers Cancel, whatever its buttons.
class ScreenMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

    bool closedByCloseBox() const { return closedByCloseBox_; }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);  // sizes the box to its text
        QScreen* screen =
            parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }

    void closeEvent(QCloseEvent* event) override {
        if (!clickedButton()) {
            // QMessageBox would press the Escape button (No) here.
            closedByCloseBox_ = true;
            QDialog::closeEvent(event);
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool closedByCloseBox_ = false;
};

}  // namespace

MessageAnswer ShowMessageBox(QWidget* parent, const QString& text, MessageKind kind,
                             MessageButtons buttons) {
    PlayAlertSound(kind);
    KindLook look = LookOf(kind);
    ScreenMessageBox box(look.icon, look.caption, text, QMessageBox::NoButton, parent);
    bool yesNo = buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel ||
                 buttons == MessageButtons::YesMergeNoCancel;
    bool ok = buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel;
    bool reload = buttons == MessageButtons::ReloadSaveAsCancel ||
                  buttons == MessageButtons::ReloadMergeSaveAsCancel;
    bool merge = buttons == MessageButtons::ReloadMergeSaveAsCancel ||
                 buttons == MessageButtons::YesMergeNoCancel;
    bool saveAs = reload || buttons == MessageButtons::SaveAsCancel;
    bool import = buttons == MessageButtons::ImportOpenCancel;
    bool cancel = buttons == MessageButtons::OkCancel || buttons == MessageButtons::YesNoCancel ||
                  buttons == MessageButtons::YesMergeNoCancel || saveAs || import;
    QPushButton* yesButton = nullptr;
    QPushButton* noButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* reloadButton = nullptr;
    QPushButton* mergeButton = nullptr;
    QPushButton* saveAsButton = nullptr;
    QPushButton* importButton = nullptr;
    QPushButton* openButton = nullptr;
    if (reload) {
        reloadButton = box.addButton(QStringLiteral("再読み込み"), QMessageBox::DestructiveRole);
    }
    if (saveAs) {
        saveAsButton = box.addButton(QStringLiteral("別名で保存"), QMessageBox::AcceptRole);
    }
    if (import) {
        importButton = box.addButton(QStringLiteral("インポート"), QMessageBox::AcceptRole);
        openButton = box.addButton(QStringLiteral("文書として開く"), QMessageBox::ActionRole);
    }
    if (yesNo) {
        yesButton = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    }
    if (merge) {
        mergeButton = box.addButton(QStringLiteral("統合(&M)"), QMessageBox::ActionRole);
    }
    if (yesNo) {
        noButton = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    }
    if (ok) {
        okButton = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    }
    if (cancel) {
        cancelButton = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
    }
    // Where one answer throws the user's changes away, Enter keeps them; an import can be
    // undone.
    box.setDefaultButton(reload     ? cancelButton
                         : saveAs   ? saveAsButton
                         : import   ? importButton
                         : okButton ? okButton
                                    : yesButton);
    box.setEscapeButton(cancelButton ? cancelButton : noButton ? noButton : okButton);
    box.exec();
    QAbstractButton* clicked = box.closedByCloseBox() ? nullptr : box.clickedButton();
    if (clicked && clicked == reloadButton) {
        return MessageAnswer::Reload;
    }
    if (clicked && clicked == mergeButton) {
        return MessageAnswer::Merge;
    }
    if (clicked && clicked == saveAsButton) {
        return MessageAnswer::SaveAs;
    }
    if (clicked && clicked == importButton) {
        return MessageAnswer::Import;
    }
    if (clicked && clicked == openButton) {
        return MessageAnswer::Open;
    }
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
