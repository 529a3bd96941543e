#pragma once

#include <QDBusVariant>
#include <QObject>
#include <QString>

// Whether the desktop asks for higher contrast: the `contrast` setting of the desktop portal's
// `org.freedesktop.appearance` (1 when GNOME's high-contrast switch is on), read once and then
// followed. Without a portal the answer is "no".
class DesktopContrast : public QObject {
    Q_OBJECT

public:
    explicit DesktopContrast(QObject* parent = nullptr);

    // Asks the portal without waiting; `changed` reports the answer.
    void start();
    bool isHigh() const { return m_high; }

    // The portal's value: 1 is "higher contrast", 0 "no preference".
    static bool meansHigh(const QVariant& value);

signals:
    void changed(bool high);

private slots:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void adopt(bool high);

    bool m_high = false;
};
