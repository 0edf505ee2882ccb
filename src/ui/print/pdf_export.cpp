#include "ui/print/pdf_export.h"

#include <QGuiApplication>
#include <QIODevice>
#include <QPdfWriter>

#include <exception>
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

// The PDF writer's output, handed on to a sink. A failure of the sink is kept to be thrown
// once the painting is over, rather than thrown through Qt's painting code.
class SinkDevice : public QIODevice {
public:
    explicit SinkDevice(const std::function<void(std::string_view)>& sink) : sink_(sink) {
        open(QIODevice::WriteOnly);
    }
    bool isSequential() const override { return true; }
    bool failed() const { return error_ != nullptr; }
    void rethrow() const {
        if (error_) {
            std::rethrow_exception(error_);
        }
    }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (error_) {
            return -1;
        }
        try {
            sink_(std::string_view(data, static_cast<size_t>(size)));
        } catch (...) {
            // Kept, and thrown on by WritePdfTo once the painter has ended.
            error_ = std::current_exception();
            return -1;
        }
        return size;
    }

private:
    const std::function<void(std::string_view)>& sink_;
    std::exception_ptr error_;
};

// The caller's progress, which also stops the pages as soon as the output has failed.
class StopOnFailure : public PrintProgress {
public:
    StopOnFailure(PrintProgress* progress, const SinkDevice& device)
        : progress_(progress), device_(device) {}
    bool step(uint64_t done, uint64_t total) override {
        return !device_.failed() && (!progress_ || progress_->step(done, total));
    }

private:
    PrintProgress* progress_;
    const SinkDevice& device_;
};

}  // namespace

bool WritePdfTo(const PrintJob& job, const std::function<void(std::string_view)>& sink,
                PrintProgress* progress) {
    GuiForPdf gui;
    SinkDevice device(sink);
    StopOnFailure stop(progress, device);
    PaintResult result;
    {
        QPdfWriter pdf(&device);
        pdf.setPageSize(DefaultPageSize());
        pdf.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        pdf.setTitle(QString::fromUtf8(job.title.c_str()));
        pdf.setCreator(QStringLiteral("Brenvale"));
        PageOptions options;
        options.progress = &stop;
        result = PaintCheckLists(job, pdf, options);
    }
    device.rethrow();
    return !result.cancelled;
}

bool WritePdf(const PrintJob& job, const std::string& path, PrintProgress* progress) {
    AtomicFileWriter file(path);
    if (!WritePdfTo(
            job, [&](std::string_view bytes) { file.Write(bytes); }, progress)) {
        return false;  // the writer removes what it wrote
    }
    file.Commit();
    return true;
}

}  // namespace brenvale
