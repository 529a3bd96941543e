#include "shell/DesktopContrast.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString contrastKey = QStringLiteral("contrast");

} // namespace

DesktopContrast::DesktopContrast(QObject* parent) : QObject(parent) {}

void DesktopContrast::start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"),
                this, SLOT(settingChanged(QString, QString, QDBusVariant)));
    QDBusMessage read = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface,
                                                       QStringLiteral("Read"));
    read << appearance << contrastKey;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(read), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QVariant> reply = *call;
                if (reply.isValid()) {
                    adopt(meansHigh(reply.value()));
                }
            });
}

bool DesktopContrast::meansHigh(const QVariant& value) {
    // Read answers with the value wrapped in a second variant.
    QVariant inner = value;
    while (inner.canConvert<QDBusVariant>()) {
        inner = inner.value<QDBusVariant>().variant();
    }
    return inner.toUInt() == 1;
}

void DesktopContrast::settingChanged(const QString& group, const QString& key,
                                     const QDBusVariant& value) {
    if (group == appearance && key == contrastKey) {
        adopt(meansHigh(value.variant()));
    }
}

void DesktopContrast::adopt(bool high) {
    if (high == m_high) {
        return;
    }
    m_high = high;
    emit changed(high);
}
