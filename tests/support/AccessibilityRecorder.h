#pragma once

#include <QAccessible>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

// Records what Qt would tell a screen reader, in place of the platform's bridge, while it exists.
class AccessibilityRecorder {
public:
    struct Event {
        QPointer<QObject> object;
        QAccessible::Event type;
        QAccessible::Role role;
        QString name;
        // False for an object that is hidden, which a reader passes over.
        bool shown;
    };

    AccessibilityRecorder();
    ~AccessibilityRecorder();
    AccessibilityRecorder(const AccessibilityRecorder&) = delete;
    AccessibilityRecorder& operator=(const AccessibilityRecorder&) = delete;

    const QList<Event>& events() const { return m_events; }
    void clear() { m_events.clear(); }
    // The names spoken from status lines: name changes of shown objects in the status role.
    QStringList announcements() const;

private:
    static void record(QAccessibleEvent* event);

    QAccessible::UpdateHandler m_previous;
    QList<Event> m_events;
};
