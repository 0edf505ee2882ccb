#include "ui/about_box.h"

#include <QDesktopServices>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

#include "common/program_info.h"
#include "ui/images.h"
#include "ui/message_box.h"

namespace brenvale {

namespace {

const QSize kDesignedSize(424, 197);
const char* const kHomePage = "https://dravik-tools.example/";
const char* const kMail = "mailto:support@dravik-tools.example";

QLabel* Text(const QString& text, int pixels, bool bold, bool italic) {
    auto* label = new QLabel(text);
    QFont font = label->font();
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    label->setFont(font);
    return label;
}

// The group's title is italic at 15 pixels; its content keeps the dialog's own font.
QGroupBox* Group(const QString& title, QLayout* content) {
    auto* group = new QGroupBox(title);
    QFont font = group->font();
    font.setPixelSize(15);
    font.setItalic(true);
    group->setFont(font);
    content->setContentsMargins(8, 2, 8, 4);
    group->setLayout(content);
    group->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return group;
}

// A link-styled field: maroon, underlined, a hand over it; a click opens it.
QLabel* Link(const QString& target, const QString& hint) {
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\" style=\"color:#800000\">%1</a>")
                                .arg(target.toHtmlEscaped()));
    link->setTextFormat(Qt::RichText);
    QFont font = link->font();
    font.setPixelSize(12);
    font.setItalic(false);
    link->setFont(font);
    link->setOpenExternalLinks(false);
    link->setCursor(Qt::PointingHandCursor);
    link->setToolTip(hint);
    QObject::connect(link, &QLabel::linkActivated, link, [link](const QString& url) {
        link->setCursor(Qt::BusyCursor);
        QDesktopServices::openUrl(QUrl(url));
        link->setCursor(Qt::PointingHandCursor);
    });
    return link;
}

}  // namespace

QString AboutBox::VersionText() {
    return QStringLiteral("バージョン %1").arg(QString::fromUtf8(kProgramVersion));
}

AboutBox::AboutBox(QWidget* owner) : QDialog(owner) {
    QString title = QString::fromUtf8(kApplicationTitle);
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* product = new QHBoxLayout;
    auto* icon = new QLabel;
    icon->setPixmap(
        ApplicationIcon(QStringLiteral("mainicon")).pixmap(QSize(32, 32), devicePixelRatioF()));
    product->addWidget(icon);
    product->addWidget(Text(title, 19, true, false));
    product->addWidget(Text(VersionText(), 19, false, false));
    product->addStretch();
    QGroupBox* version = Group(QStringLiteral("バージョン"), product);

    logo_ = new QLabel;
    logo_->setFixedSize(41, 41);
    logo_->setScaledContents(true);
    logo_->setToolTip(QStringLiteral("DravikTools ロゴマーク"));
    auto* maker = new QHBoxLayout;
    maker->addWidget(Text(QStringLiteral("Dravik Tools"), 21, true, true));
    maker->addWidget(Text(QStringLiteral("Linux 版"), 15, false, false));
    maker->addStretch();
    auto* details = new QVBoxLayout;
    details->setSpacing(0);
    details->addWidget(Text(QStringLiteral("やる事チェックリストのエディタ"), 12, false, true));
    details->addLayout(maker);
    details->addWidget(Text(QString::fromUtf8(kCopyrightLine), 12, false, false));
    details->addWidget(Text(QString::fromUtf8(kLicenceLine), 12, false, false));
    details->addWidget(
        Link(QString::fromUtf8(kHomePage), QStringLiteral("[DravikTools]のホームページを見る")));
    details->addWidget(
        Link(QString::fromUtf8(kMail), QStringLiteral("[Dravik]にメールを送信する")));
    auto* copyrightRow = new QHBoxLayout;
    copyrightRow->addWidget(logo_, 0, Qt::AlignTop);
    copyrightRow->addLayout(details, 1);
    QGroupBox* copyright = Group(QStringLiteral("著作権"), copyrightRow);

    auto* ok = new QPushButton(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(4);
    layout->addWidget(version);
    layout->addWidget(copyright);
    layout->addWidget(ok, 0, Qt::AlignRight);
    // The designed client area, grown where the font needs more room: nothing may overlap.
    QSize needed = layout->totalSizeHint();
    setFixedSize(std::max(kDesignedSize.width(), needed.width()),
                 std::max(kDesignedSize.height(), needed.height()));

    connect(&timer_, &QTimer::timeout, this, &AboutBox::nextFrame);
    timer_.start(1);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void AboutBox::nextFrame() {
    // Frame 1 rests for three seconds, frames 2 to 5 run quickly.
    frame_ = frame_ % 5 + 1;
    // The 32-pixel frames are stretched to the logo's size; a scaled screen gets them drawn
    // for its pixels.
    const qreal ratio = logo_->devicePixelRatioF();
    const QSize size = ratio > 1.0 ? logo_->size() : QSize(32, 32);
    logo_->setPixmap(
        ScaledResourcePixmap(QStringLiteral(":/logo/logo%1.png").arg(frame_), size, ratio));
    timer_.setInterval(frame_ == 1 ? 3000 : 20);
}

void AboutBox::ShowFor(QWidget* owner) {
    auto* box = new AboutBox(owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    owner->installEventFilter(box);
    box->show();
    box->activateWindow();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::WindowActivate) {
        close();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace brenvale
