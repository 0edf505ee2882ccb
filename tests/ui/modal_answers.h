#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace brenvale::test {

// Runs action once a modal window of type Window is up that no earlier action took (a message
// box, a file dialog, the options dialog). Armed before the call that opens it. It polls from
// a timer without an event loop of its own, so that one action may open further windows and
// arm answers for them.
template <typename Window = QWidget>
void WhenModal(std::function<void(Window*)> action) {
    auto* timer = new QTimer(qApp);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, action] {
        auto* modal = qobject_cast<Window*>(QApplication::activeModalWidget());
        if (modal && modal->isVisible() && !modal->property("brenvaleAnswered").toBool()) {
            timer->stop();
            timer->deleteLater();
            modal->setProperty("brenvaleAnswered", true);
            action(modal);
        } else if (++*ticks > 500) {
            timer->stop();
            timer->deleteLater();
            QFAIL("no modal window came up");
        }
    });
    timer->start(10);
}

// Closes any message box that comes up while it lives; none coming up is fine too.
class MessageBoxCloser {
public:
    MessageBoxCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible() && !box->property("brenvaleAnswered").toBool()) {
                box->setProperty("brenvaleAnswered", true);
                box->reject();
            }
        });
        timer_.start(10);
    }

private:
    QTimer timer_;
};

inline void Press(QMessageBox* box, const QString& button) {
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == button) {
            b->click();
            return;
        }
    }
    QFAIL(qPrintable("no button " + button));
}

// Presses the buttons with these texts in the next message boxes, one box each, in turn, and
// remembers each box's text.
inline void AnswerInTurn(std::vector<std::pair<QString, QString*>> answers) {
    if (answers.empty()) {
        return;
    }
    WhenModal<QMessageBox>([answers](QMessageBox* box) {
        auto [button, text] = answers.front();
        if (text) {
            *text = box->text();
        }
        AnswerInTurn({answers.begin() + 1, answers.end()});
        Press(box, button);
    });
}

// The same, collecting the boxes' texts in a list.
inline void AnswerEach(QStringList buttons, QStringList* texts) {
    if (buttons.isEmpty()) {
        return;
    }
    WhenModal<QMessageBox>([buttons, texts](QMessageBox* box) mutable {
        texts->append(box->text());
        QString button = buttons.takeFirst();
        AnswerEach(buttons, texts);  // waits for the box that follows this one
        Press(box, button);
    });
}

inline void Answer(const QString& button, QString* text = nullptr) {
    AnswerInTurn({{button, text}});
}

// Types a path into the next file dialog and accepts it, remembering the dialog's title.
inline void ChooseFile(const QString& path, QString* title = nullptr) {
    WhenModal<QFileDialog>([path, title](QFileDialog* dialog) {
        if (title) {
            *title = dialog->windowTitle();
        }
        // selectFile() drops the selection of the name the dialog was opened with, which would
        // win over a typed name, but leaves the name box alone while it has the focus: so the
        // path is typed into the box as well, and accepted at once.
        dialog->selectFile(path);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

}  // namespace brenvale::test
