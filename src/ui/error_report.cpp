#include "ui/error_report.h"

#include <QApplication>

#include "ui/codec.h"
#include "ui/message_box.h"

namespace brenvale {

void ReportError(const Error& error) {
    ShowMessageBox(QApplication::activeWindow(), FromUtf8(error.what()), MessageKind::Error,
                   MessageButtons::Ok);
}

void ReportOutOfMemory() {
    ShowMessageBox(QApplication::activeWindow(), QStringLiteral("メモリが足りません"),
                   MessageKind::Error, MessageButtons::Ok);
}

}  // namespace brenvale
