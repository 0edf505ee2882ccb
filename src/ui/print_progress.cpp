#include "ui/print_progress.h"

#include <QCoreApplication>

#include <algorithm>

namespace brenvale {

namespace {

constexpr int kScale = 1000;

}  // namespace

PrintProgressDialog::PrintProgressDialog(QWidget* owner, const QString& label)
    : dialog_(label, QStringLiteral("キャンセル"), 0, kScale, owner) {
    dialog_.setWindowTitle(QStringLiteral("印刷"));
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setMinimumDuration(400);
    dialog_.setValue(0);
    slice_.start();
}

bool PrintProgressDialog::step(uint64_t done, uint64_t total) {
    if (slice_.elapsed() >= kSliceMs) {
        int value = total == 0 ? kScale : static_cast<int>(done * kScale / total);
        dialog_.setValue(std::min(value, kScale - 1));
        // Until the dialog shows (and blocks the windows) the user's input waits: nothing may
        // change the document under the pages.
        QCoreApplication::processEvents(dialog_.isVisible() ? QEventLoop::AllEvents
                                                            : QEventLoop::ExcludeUserInputEvents);
        slice_.restart();
    }
    return !dialog_.wasCanceled();
}

}  // namespace brenvale
