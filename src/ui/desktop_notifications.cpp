#include "ui/desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include "ui/codec.h"

namespace brenvale {

namespace {

constexpr const char* kInterface = "org.freedesktop.Notifications";
// A reminder stays until the user answers it.
constexpr int kNeverExpires = 0;

}  // namespace

DesktopNotifications::DesktopNotifications(QObject* parent) : QObject(parent) {}

void DesktopNotifications::show(const Notification& note) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        emit failed();
        return;
    }
    if (!listening_) {
        listening_ = true;
        bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                    SLOT(onActionInvoked(uint, QString)));
        bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                    SLOT(onClosed(uint, uint)));
    }
    QStringList actions;
    for (const auto& [key, caption] : note.actions) {
        actions << FromUtf8(key) << FromUtf8(caption);
    }
    // A click on the notification itself does what its last button does (opens).
    if (!note.actions.empty()) {
        actions << QStringLiteral("default") << FromUtf8(note.actions.back().second);
    }
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("brenvale"));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Brenvale") << uint(0) << QStringLiteral("brenvale")
         << FromUtf8(note.summary) << FromUtf8(note.body) << actions << hints << kNeverExpires;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    quint64 key = note.key;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key](QDBusPendingCallWatcher* w) {
                QDBusPendingReply<uint> reply = *w;
                w->deleteLater();
                if (reply.isError()) {
                    emit failed();
                    return;
                }
                keys_.insert(reply.value(), key);
            });
}

void DesktopNotifications::onActionInvoked(uint id, const QString& action) {
    auto it = keys_.find(id);
    if (it != keys_.end()) {
        emit actionInvoked(it.value(), action);
    }
}

void DesktopNotifications::onClosed(uint id, uint) {
    keys_.remove(id);
}

}  // namespace brenvale
