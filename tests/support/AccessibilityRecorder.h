#pragma once

#include <QAccessible>
#include <QStringList>

// Records what Qt would tell a screen reader, in place of the platform's bridge, while it exists.
class AccessibilityRecorder {
public:
    AccessibilityRecorder();
    ~AccessibilityRecorder();
    AccessibilityRecorder(const AccessibilityRecorder&) = delete;
    AccessibilityRecorder& operator=(const AccessibilityRecorder&) = delete;

    // Every event of that type, of any object.
    int count(QAccessible::Event type) const { return m_counts.value(type); }
    // What status lines spoke: name changes of shown objects in the status role.
    const QStringList& announcements() const { return m_announcements; }
    // The names of the objects a reader was told had the focus, in order.
    const QStringList& focused() const { return m_focused; }

private:
    static void record(QAccessibleEvent* event);

    QAccessible::UpdateHandler m_previous;
    QHash<QAccessible::Event, int> m_counts;
    QStringList m_announcements;
    QStringList m_focused;
};
