#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include "editor/editor_host.h"

namespace brenvale {

// Desktop notifications through the freedesktop notification service on the session bus
// (org.freedesktop.Notifications). A notification never takes the focus; its buttons come back
// as actionInvoked with the editor's key of the notification. When no service answers (no
// session bus, or nothing that shows notifications) failed() is emitted instead; nothing waits
// for the bus meanwhile.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";

    explicit DesktopNotifications(QObject* parent = nullptr);

    void show(const Notification& note);

signals:
    void actionInvoked(quint64 key, const QString& action);
    void failed();

private slots:
    void onActionInvoked(uint id, const QString& action);
    void onClosed(uint id, uint reason);

private:
    bool listening_ = false;
    // The service's number of each notification shown, and the editor's key for it.
    QHash<uint, quint64> keys_;
};

}  // namespace brenvale
