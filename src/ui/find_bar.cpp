#include "ui/find_bar.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>

#include "ui/accessibility.h"
#include "ui/codec.h"
#include "ui/error_report.h"
#include "ui/flow_layout.h"

namespace brenvale {

namespace {

bool IsEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

}  // namespace

bool FindBox::event(QEvent* event) {
    // Shift+Enter is a command's key too; here it goes to the previous hit.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnter(key) || key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void FindBox::keyPressEvent(QKeyEvent* event) {
    if (IsEnter(event)) {
        if (event->modifiers() & Qt::ShiftModifier) {
            emit previousRequested();
        } else {
            emit nextRequested();
        }
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        emit closeRequested();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

FindBar::FindBar(Editor& editor, QWidget* parent)
    : QWidget(parent), editor_(editor), observation_(editor, this) {
    box_ = new FindBox;
    box_->setStatusTip(QStringLiteral("|[検索] ツリーの名前とチェックリストの項目から探す文字列"));
    NameAfterHint(box_, box_->statusTip());
    // The box keeps room for a word even in the narrow first window.
    box_->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 10);
    auto button = [](const QString& text, const QString& hint) {
        auto* b = new QToolButton;
        b->setText(text);
        b->setStatusTip(hint);
        b->setFocusPolicy(Qt::TabFocus);
        return b;
    };
    next_ = button(QStringLiteral("次へ"),
                   QStringLiteral("|次に見つかった箇所へ移動します (Enter, F3)"));
    previous_ = button(QStringLiteral("前へ"),
                       QStringLiteral("|前に見つかった箇所へ移動します (Shift+Enter, Shift+F3)"));
    counter_ = new QLabel;
    kana_ = new QCheckBox(QStringLiteral("ひらがなとカタカナを区別しない"));
    kana_->setStatusTip(QStringLiteral("|ひらがなとカタカナを同じ文字として検索します"));
    results_ = button(QStringLiteral("すべての検索結果"),
                      QStringLiteral("|見つかった箇所すべてをツリーの下に一覧表示します"));
    close_ = button(QStringLiteral("×"), QStringLiteral("|検索バーを閉じます (Esc)"));
    close_->setAutoRaise(true);
    close_->setToolTip(QStringLiteral("検索バーを閉じる (Esc)"));
    close_->setAccessibleName(QStringLiteral("検索バーを閉じる"));

    // The parts wrap into a second row where the window is narrow, so that the bar never
    // makes the window wider.
    auto* layout = new FlowLayout(this);
    // Nor does its widest part: a window narrower than that keeps its width, and the part is
    // cut to it.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(4);
    auto* label = new QLabel(QStringLiteral("検索:"));
    label->setBuddy(box_);
    layout->addWidget(label);
    layout->addWidget(box_);
    layout->addWidget(next_);
    layout->addWidget(previous_);
    layout->addWidget(counter_);
    layout->addWidget(kana_);
    layout->addWidget(results_);
    layout->addWidget(close_);

    count_.setSingleShot(true);
    count_.setInterval(kCountDelayMs);
    connect(&count_, &QTimer::timeout, this, Guarded([this] {
        if (editor_.find().state().hit() && !editor_.find().state().count()) {
            editor_.find().countFindHits();
        }
    }));
    connect(box_, &QLineEdit::textChanged, this, [this] { search(); });
    connect(kana_, &QCheckBox::toggled, this, [this] { search(); });
    connect(box_, &FindBox::nextRequested, this, Guarded([this] { editor_.find().findNext(); }));
    connect(box_, &FindBox::previousRequested, this,
            Guarded([this] { editor_.find().findPrevious(); }));
    connect(next_, &QToolButton::clicked, this, Guarded([this] { editor_.find().findNext(); }));
    connect(previous_, &QToolButton::clicked, this,
            Guarded([this] { editor_.find().findPrevious(); }));
    connect(results_, &QToolButton::clicked, this, Guarded([this] {
                editor_.find().collectFindResults();
                emit resultsRequested();
            }));
    connect(box_, &FindBox::closeRequested, this, [this] { close(); });
    connect(close_, &QToolButton::clicked, this, [this] { close(); });
    refresh();
}

void FindBar::open() {
    show();
    box_->setFocus(Qt::ShortcutFocusReason);
    box_->selectAll();
}

void FindBar::close() {
    hide();
    emit closed();
}

void FindBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FindBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The desktop's colours changed: the red of "nothing found" follows them.
    if (event->type() == QEvent::PaletteChange && notFound_) {
        refresh();
    }
}

void FindBar::search() {
    // A character CP932 cannot hold is looked for as its reference, which the texts hold.
    std::string query = ToCp932(box_->text());
    RunReporting([&] { editor_.find().findTyped(query, kana_->isChecked()); });
    refresh();
}

void FindBar::refresh() {
    const FindState& find = editor_.find().state();
    // The editor set a text of its own (the conflict mark after a merge): the box shows it.
    if (ToCp932(box_->text()) != find.query()) {
        QSignalBlocker quiet(box_);
        box_->setText(FromCp932(find.query()));
    }
    notFound_ = find.notFound();
    counter_->setText(FromUtf8(find.counterText()));
    // Light red, or a dark red on a dark desktop; otherwise the box follows the desktop.
    if (notFound_) {
        QPalette palette = this->palette();
        bool dark = palette.color(QPalette::Base).lightness() < 128;
        palette.setColor(QPalette::Base, dark ? QColor(110, 34, 34) : QColor(255, 204, 204));
        box_->setPalette(palette);
    } else {
        box_->setPalette(QPalette());
    }
    // Every hit is counted once typing pauses.
    if (find.hit() && !find.count()) {
        count_.start();
    }
}

void FindBar::findChanged() {
    refresh();
}

void FindBar::countersChanged() {
    // After any action: an edit forgets the count, which is then made again.
    if (isVisible()) {
        refresh();
    }
}

}  // namespace brenvale
