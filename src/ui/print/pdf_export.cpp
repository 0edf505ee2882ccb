#include "ui/print/pdf_export.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPdfWriter>

#include <memory>

#include "common/error.h"
#include "common/file_io.h"
#include "ui/print/check_list_pages.h"

namespace brenvale {

namespace {

void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

// Fonts and text layouts need a QGuiApplication. Where none runs (the command-line tool), one
// is made on the offscreen platform, which needs no display, for as long as this lives; its
// messages about the missing desktop are not the tool's to print.
class GuiForPdf {
public:
    GuiForPdf() {
        if (QCoreApplication::instance()) {
            if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
                throw Error("PDF を書き出せません: 文字を描く準備ができません。");
            }
            return;
        }
        previous_ = qInstallMessageHandler(Quiet);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    ~GuiForPdf() {
        if (app_) {
            app_.reset();
            qInstallMessageHandler(previous_);
        }
    }
    GuiForPdf(const GuiForPdf&) = delete;
    GuiForPdf& operator=(const GuiForPdf&) = delete;

private:
    char name_[16] = "brenvale";
    char* argv_[2] = {name_, nullptr};
    int argc_ = 1;
    QtMessageHandler previous_ = nullptr;
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace

std::string ExportPdf(const PrintJob& job) {
    GuiForPdf gui;
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buffer);
        pdf.setPageSize(DefaultPageSize());
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setTitle(QString::fromUtf8(job.title.c_str()));
        pdf.setCreator(QStringLiteral("Brenvale"));
        PaintCheckLists(job, pdf);
    }
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void WritePdf(const PrintJob& job, const std::string& path) {
    WriteFileAtomically(path, ExportPdf(job));
}

}  // namespace brenvale
