#include "ui/error_report.h"

#include <QApplication>

#include "ui/codec.h"
#include "ui/message_box.h"

namespace brenvale {

void ReportError(const Error& error) {
    ShowMessageBox(QApplication::activeWindow(), FromUtf8(error.what()), MessageKind::Error,
                   MessageButtons::Ok);
}

}  // namespace brenvale
