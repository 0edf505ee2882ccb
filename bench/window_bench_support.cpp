#include "window_bench_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace brenvale::bench {

namespace {

bool g_answering = false;

}  // namespace

void PaintWatch::wait() {
    QElapsedTimer waited;
    waited.start();
    while (!painted_) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (waited.elapsed() > 60000) {
            std::fprintf(stderr, "bench: no paint of %s within a minute\n",
                         widget_->metaObject()->className());
            std::fflush(stderr);
            std::_Exit(3);
        }
    }
    painted_ = false;
}

void PaintWatch::reset() {
    QApplication::processEvents();
    painted_ = false;
}

bool PaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget_ && event->type() == QEvent::Paint) {
        painted_ = true;
    }
    return false;
}

StartupOptions OptionsIn(const QString& folder, const QString& document) {
    StartupOptions options;
    options.programPath = QApplication::applicationFilePath();
    options.companionFolder = folder;
    options.settingsFile = folder + "/bench.ini";
    options.shortcutFile = folder + "/bench.key";
    if (!document.isEmpty()) {
        options.files = {document};
    }
    return options;
}

void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents(QEventLoop::AllEvents);
    }
}

void FailOnUnansweredQuestions() {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || g_answering) {
            return;
        }
        auto* box = qobject_cast<QMessageBox*>(modal);
        QString text = box ? box->text() : modal->windowTitle();
        std::fprintf(stderr, "ui_bench: a question nobody answers: %s\n", qPrintable(text));
        std::fflush(stderr);
        std::_Exit(3);
    });
    timer->start(100);
}

void SetAnswering(bool answering) {
    g_answering = answering;
}

void AnswerNextBox() {
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            box->defaultButton()->click();
        } else {
            AnswerNextBox();
        }
    });
}

double ProcessCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace brenvale::bench
