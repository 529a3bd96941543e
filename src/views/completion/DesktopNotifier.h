#pragma once

#include <QObject>
#include <QString>

// Title-only desktop notifications through org.freedesktop.Notifications on the session bus.
// The call is asynchronous: the GUI thread never waits for a notification service.
class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    explicit DesktopNotifier(QObject* parent = nullptr);

    void notify(const QString& title);

signals:
    // A notification service took the notification.
    void delivered(const QString& title);
    // No service answered (no session bus, no notification service, or an error reply): the
    // screen shows the title itself instead.
    void unavailable(const QString& title);
};
