#pragma once

#include <QElapsedTimer>
#include <QProgressDialog>

#include "document/print_job.h"

namespace brenvale {

// The progress of a print or a PDF in a dialog that can stop it. The pages are painted on the
// window's thread in slices of a few tens of milliseconds, and between two slices the window
// answers the user: it repaints, and the "キャンセル" button works. The dialog is modal for
// the whole program, so the document cannot change under the pages; it appears only when the
// work takes longer than a moment.
class PrintProgressDialog : public PrintProgress {
public:
    // How long the pages are painted before the window answers the user again.
    static constexpr int kSliceMs = 30;

    PrintProgressDialog(QWidget* owner, const QString& label);

    bool step(uint64_t done, uint64_t total) override;
    bool cancelled() const { return dialog_.wasCanceled(); }
    QProgressDialog& dialog() { return dialog_; }

private:
    QProgressDialog dialog_;
    QElapsedTimer slice_;
};

}  // namespace brenvale
