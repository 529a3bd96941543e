#include "support/AccessibilityRecorder.h"

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {
// Qt's handler is a plain function: it finds the recorder's list here.
QList<AccessibilityRecorder::Event>* currentEvents = nullptr;

// Qt sends no event at all until a screen reader has asked for one; the platform's own switch
// (as Qt's tests use it) stands in for that request.
void setActive(bool active) {
    if (QPlatformAccessibility* platform =
            QGuiApplicationPrivate::platformIntegration()->accessibility()) {
        platform->setActive(active);
    }
}
} // namespace

AccessibilityRecorder::AccessibilityRecorder()
    : m_previous(QAccessible::installUpdateHandler(&AccessibilityRecorder::record)) {
    currentEvents = &m_events;
    setActive(true);
}

AccessibilityRecorder::~AccessibilityRecorder() {
    setActive(false);
    QAccessible::installUpdateHandler(m_previous);
    currentEvents = nullptr;
}

QStringList AccessibilityRecorder::announcements() const {
    QStringList names;
    for (const Event& event : m_events) {
        if (event.type == QAccessible::NameChanged && event.role == QAccessible::StatusBar &&
            event.shown) {
            names << event.name;
        }
    }
    return names;
}

void AccessibilityRecorder::record(QAccessibleEvent* event) {
    if (currentEvents == nullptr) {
        return;
    }
    QAccessibleInterface* iface = event->accessibleInterface();
    const bool valid = iface != nullptr && iface->isValid();
    currentEvents->append(
        {event->object(), event->type(), valid ? iface->role() : QAccessible::NoRole,
         valid ? iface->text(QAccessible::Name) : QString(), valid && !iface->state().invisible});
}
