#include "ui/window_host.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>

#include "common/error.h"
#include "ui/codec.h"
#include "ui/main_window.h"
#include "ui/message_box.h"

namespace brenvale {

namespace {

// "description|pattern|..." as Qt name filters. "*.*" means every file here, with or without
// an extension.
QStringList NameFilters(const std::string& filter) {
    QStringList parts = FromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        QString pattern = parts[i + 1];
        if (pattern == QLatin1String("*.*")) {
            description.replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
            pattern = QStringLiteral("*");
        }
        filters << (description.contains(QLatin1Char('(')) ? description
                                                           : description + " (" + pattern + ")");
    }
    return filters;
}

}  // namespace

WindowHost::WindowHost(MainWindow& window) : window_(window) {
    autoSave_.setSingleShot(false);
    recovery_.setSingleShot(true);
}

MessageAnswer WindowHost::ShowMessageBox(const std::string& text, MessageKind kind,
                                         MessageButtons buttons) {
    return brenvale::ShowMessageBox(&window_, FromUtf8(text), kind, buttons);
}

void WindowHost::Beep() {
    QApplication::beep();
}

bool WindowHost::ClipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}

std::string WindowHost::ClipboardText() {
    QString refused;
    std::optional<std::string> bytes = ToCp932(QGuiApplication::clipboard()->text(), &refused);
    if (!bytes) {
        throw Error("貼り付けるテキストに、保存できない文字「" + refused.toStdString() +
                    "」が含まれています。");
    }
    return *bytes;
}

void WindowHost::SetClipboardText(const std::string& cp932) {
    QGuiApplication::clipboard()->setText(FromCp932(cp932));
}

void WindowHost::FocusEditBox(EditBox box) {
    QLineEdit* edit = box == EditBox::Tree ? window_.treeEdit() : window_.listEdit();
    edit->setFocus();
    edit->selectAll();
}

void WindowHost::SetBusy(bool busy) {
    busy_ += busy ? 1 : -1;
    if (busy && busy_ == 1) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        window_.setViewsUpdatesEnabled(false);
    } else if (!busy && busy_ == 0) {
        window_.setViewsUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
}

std::optional<std::string> WindowHost::askFileName(const FileDialogOptions& options, bool save) {
    QFileDialog dialog(&window_, FromUtf8(options.title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks about overwriting itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    QStringList filters = NameFilters(options.filter);
    dialog.setNameFilters(filters);
    if (options.filterIndex >= 1 && options.filterIndex <= filters.size()) {
        dialog.selectNameFilter(filters[options.filterIndex - 1]);
    }
    dialog.setDefaultSuffix(FromUtf8(options.defaultExtension));
    if (!options.fileName.empty()) {
        QFileInfo preset(FromUtf8(options.fileName));
        if (preset.isAbsolute()) {
            dialog.setDirectory(preset.absolutePath());
        }
        dialog.selectFile(preset.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToUtf8(dialog.selectedFiles().first());
}

std::optional<std::string> WindowHost::AskOpenFileName(const FileDialogOptions& options) {
    return askFileName(options, false);
}

std::optional<std::string> WindowHost::AskSaveFileName(const FileDialogOptions& options) {
    return askFileName(options, true);
}

bool WindowHost::IsMainWindowActive() {
    return QApplication::activeWindow() == &window_ && !QApplication::activeModalWidget() &&
           !QApplication::activePopupWidget();
}

bool WindowHost::IsApplicationActive() {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

void WindowHost::SetAutoSaveTimer(bool enabled, int intervalMs) {
    if (intervalMs != autoSave_.interval()) {
        autoSave_.setInterval(intervalMs);  // restarts a running timer
    }
    if (!enabled) {
        autoSave_.stop();
    } else if (!autoSave_.isActive()) {
        autoSave_.start();
    }
}

void WindowHost::SetRecoveryTimer(int delayMs) {
    if (delayMs < 0) {
        recovery_.stop();
    } else {
        recovery_.start(delayMs);
    }
}

void WindowHost::LaunchWithFile(const std::string& path) {
    QString program = window_.programPath();
    if (!QFileInfo::exists(program)) {
        ShowMessageBox(ToUtf8(program) + "\nが存在しません。", MessageKind::Warning,
                       MessageButtons::Ok);
        return;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(program, {FromUtf8(path)}, QFileInfo(program).absolutePath(),
                                 &pid)) {
        ShowMessageBox("実行時にエラーが発生しました。(" + std::to_string(pid) + ")",
                       MessageKind::Warning, MessageButtons::Ok);
    }
}

DocumentGeometry WindowHost::CurrentGeometry() {
    QRect bounds = window_.normalBounds();
    return {bounds.height(), bounds.width(), bounds.top(), bounds.left(), window_.treeWidth()};
}

void WindowHost::ApplyGeometry(const GeometryRead& geometry) {
    window_.applyDocumentGeometry(geometry);
}

}  // namespace brenvale
