#include "support/AccessibilityRecorder.h"

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

// Qt's handler is a plain function: it finds the recorder here.
AccessibilityRecorder* current = nullptr;

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
    current = this;
    setActive(true);
}

AccessibilityRecorder::~AccessibilityRecorder() {
    setActive(false);
    QAccessible::installUpdateHandler(m_previous);
    current = nullptr;
}

void AccessibilityRecorder::record(QAccessibleEvent* event) {
    if (current == nullptr) {
        return;
    }
    ++current->m_counts[event->type()];
    QAccessibleInterface* iface = event->accessibleInterface();
    if (event->type() == QAccessible::Focus && iface != nullptr && iface->isValid()) {
        current->m_focused << iface->text(QAccessible::Name);
    }
    if (event->type() == QAccessible::NameChanged && iface != nullptr && iface->isValid() &&
        iface->role() == QAccessible::StatusBar && !iface->state().invisible) {
        current->m_announcements << iface->text(QAccessible::Name);
    }
}
