#include "ui/window_host.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QPaintEngine>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProcess>
#include <QTimer>

#include <new>
#include <utility>

#include "ui/about_box.h"
#include "ui/check_list_view.h"
#include "ui/codec.h"
#include "ui/desktop_notifications.h"
#include "ui/error_report.h"
#include "ui/file_name_dialog.h"
#include "ui/help_context.h"
#include "ui/main_window.h"
#include "ui/message_box.h"
#include "ui/print/check_list_pages.h"
#include "ui/print/pdf_export.h"
#include "ui/print_options_dialog.h"
#include "ui/print_progress.h"
#include "ui/tag_dialog.h"

namespace brenvale {

WindowHost::WindowHost(MainWindow& window) : window_(window) {
    autoSave_.setSingleShot(false);
    recovery_.setSingleShot(true);
    hideChecked_.setSingleShot(true);
    clock_.setSingleShot(true);
    findSlice_.setSingleShot(true);
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
    return ToCp932(QGuiApplication::clipboard()->text());
}

void WindowHost::SetClipboardText(const std::string& cp932) {
    QGuiApplication::clipboard()->setText(FromCp932(cp932));
}

void WindowHost::FocusEditBox(EditBox box) {
    QLineEdit* edit = box == EditBox::Tree ? window_.treeEdit() : window_.listEdit();
    edit->setFocus();
    edit->selectAll();
}

void WindowHost::EditRowInPlace(size_t row) {
    window_.list()->editRow(static_cast<int>(row));
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
    return AskFileName(&window_, options, save);
}

std::optional<FileChoice> WindowHost::AskFile(const FileDialogOptions& options, bool save) {
    return AskFileChoice(&window_, options, save);
}

std::optional<std::string> WindowHost::AskOpenFileName(const FileDialogOptions& options) {
    return askFileName(options, false);
}

std::optional<std::string> WindowHost::AskSaveFileName(const FileDialogOptions& options) {
    return askFileName(options, true);
}

bool WindowHost::IsMainWindowActive() {
    // Only another window of the program counts: with the program in the background no window
    // of it is active, and the auto-save must still run then.
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        return false;
    }
    QWidget* active = QApplication::activeWindow();
    return !active || active == &window_;
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

void WindowHost::SetHideCheckedTimer(int delayMs) {
    hideChecked_.start(delayMs);
}

void WindowHost::SetClockTimer(int delayMs) {
    // What the start leaves to the clock (the index of dates, the reminders that passed)
    // comes after the document is on screen.
    clockAfterPaint_ = !painted_ && delayMs < kUnpaintedClockMs;
    clock_.start(clockAfterPaint_ ? kUnpaintedClockMs : delayMs);
}

void WindowHost::windowPainted() {
    painted_ = true;
    if (std::exchange(clockAfterPaint_, false)) {
        clock_.start(0);
    }
}

void WindowHost::ShowNotification(const Notification& note) {
    window_.notifications()->show(note);
}

void WindowHost::RaiseWindow() {
    window_.raiseForUser();
}

void WindowHost::ShowAgenda() {
    window_.showAgenda();
}

std::optional<TagEditAnswer> WindowHost::AskTagEdit(const TagEditRequest& request) {
    return TagDialog::Ask(&window_, request);
}

bool WindowHost::ScheduleFindSlice(int delayMs) {
    findSlice_.start(delayMs);
    return true;
}

void WindowHost::LaunchWithFile(const std::string& path) {
    QString program = window_.programPath();
    if (!QFileInfo::exists(program)) {
        ShowMessageBox(ToUtf8(program) + "\nが存在しません。", MessageKind::Warning,
                       MessageButtons::Ok);
        return;
    }
    QProcess process;
    process.setProgram(program);
    process.setArguments({FromUtf8(path)});
    process.setWorkingDirectory(QFileInfo(program).absolutePath());
    if (!process.startDetached()) {
        ShowMessageBox("実行時にエラーが発生しました。(" + ToUtf8(process.errorString()) + ")",
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

// ---- The commands the window carries out itself

void WindowHost::CloseWindow() {
    window_.close();
}

void WindowHost::PopUpIconMenu() {
    window_.popUpIconMenu();
}

void WindowHost::ShowOptionsDialog() {
    window_.showOptionsDialog();
}

void WindowHost::ShowShortcutKeyDialog() {
    window_.showShortcutKeyDialog();
}

void WindowHost::ShowToolbarDialog() {
    window_.showToolbarDialog();
}

void WindowHost::ShowHelpContents() {
    HelpContentsExecute(&window_);
}

void WindowHost::ShowHelpSearch() {
    HelpTopicExecute(&window_);
}

void WindowHost::ShowAboutBox() {
    AboutBox::ShowFor(&window_);
}

void WindowHost::ShowFindBar() {
    window_.showFindBar();
}

void WindowHost::ShowFindResults() {
    window_.showFindBarWithResults();
}

bool WindowHost::MoveToTrash(const std::string& path) {
    // The desktop's trash (the freedesktop.org trash under $XDG_DATA_HOME, or the one at the
    // top of the file's volume): the file can be taken back from there.
    return QFile::moveToTrash(QString::fromStdString(path));
}

void WindowHost::ChangeSwitch(bool Settings::*option, bool on) {
    window_.changeSwitch(option, on);
}

// ---- Other formats and printing

bool WindowHost::AskPrintOptions(PrintJob& job) {
    QString caption = job.topic ? FromCp932(job.topic->caption) : QString();
    PrintOptionsDialog dialog(&window_, QStringLiteral("印刷の範囲"), caption, printWholeDocument_,
                              printGrey_);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    printWholeDocument_ = dialog.wholeDocument();
    printGrey_ = dialog.greyChecked();
    if (printWholeDocument_) {
        job.topic = nullptr;
    }
    job.greyChecked = printGrey_;
    return true;
}

void WindowHost::ShowPrintPreview(const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(DefaultPageSize());
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setDocName(FromUtf8(job.title));
    QPrintPreviewDialog preview(&printer, &window_);
    const QString title = QStringLiteral("印刷プレビュー - ") + FromUtf8(job.title);
    preview.setWindowTitle(title);
    // Asked for the preview's pages (drawn into pictures, which it keeps: only the first
    // ones) and, once the user prints, for every page on the printer, streamed.
    QObject::connect(
        &preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
            QPaintEngine* engine = target->paintEngine();
            const bool previewing = engine && engine->type() == QPaintEngine::Picture;
            PrintProgressDialog progress(
                &preview, previewing ? QStringLiteral("印刷プレビューを作っています...")
                                     : QStringLiteral("印刷しています..."));
            PageOptions options;
            options.progress = &progress;
            if (previewing) {
                options.maxPages = kPreviewPages;
            } else {
                options.abort = [target] { target->abort(); };
            }
            PaintResult result;
            try {
                result = PaintCheckLists(job, *target, options);
            } catch (const std::bad_alloc&) {
                // The pages go, the document stays as it is.
                ReportOutOfMemory();
                result.cancelled = true;
            }
            if (previewing && result.cancelled) {
                QTimer::singleShot(0, &preview, &QDialog::reject);
            } else if (previewing && result.pages > kPreviewPages) {
                preview.setWindowTitle(title + QStringLiteral("（%1 ページのうち最初の %2 ページ）")
                                                   .arg(result.pages)
                                                   .arg(kPreviewPages));
            }
        });
    preview.exec();
}

bool WindowHost::WritePdf(const PrintJob& job, const std::string& path) {
    PrintProgressDialog progress(&window_, QStringLiteral("PDF を書き出しています..."));
    return brenvale::WritePdf(job, path, &progress);
}

}  // namespace brenvale
