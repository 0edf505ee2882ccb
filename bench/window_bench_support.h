#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

#include "ui/main_window.h"

class QEvent;

namespace brenvale::bench {

// Processes events until a widget has painted once.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* widget) : widget_(widget) { widget_->installEventFilter(this); }
    // Ends the process, saying so, when no paint comes within a minute: a benchmark must not
    // hang.
    void wait();
    // Forgets the paints so far, once every waiting event has been handled.
    void reset();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* widget_;
    bool painted_ = false;
};

// A window's start options with its settings, key file and companions in folder.
StartupOptions OptionsIn(const QString& folder, const QString& document);

// Lets the window catch up with a change: layouts, repaints and whatever they post.
void Settle();

// Offscreen nobody answers a question box, so one that shows unasked for would hang the run:
// the process ends at once instead, saying what was asked.
void FailOnUnansweredQuestions();
// Whether a step that asks a question runs (its box is answered by AnswerNextBox).
void SetAnswering(bool answering);
// Answers the next question box with its default button as soon as it shows.
void AnswerNextBox();

// Processor time (user and system) this process has taken so far.
double ProcessCpuMs();

}  // namespace brenvale::bench
