#include "views/common/LiveStatus.h"

#include "views/common/AccessibleWidgets.h"
#include "views/common/Labels.h"

#include <QAccessible>

#include <cstdlib>

LiveStatus::LiveStatus(const QFont& font, const QColor& colour, QWidget* parent) : QLabel(parent) {
    // Before any text: QLabel reports every text change while no accessible name is set.
    AccessibleWidgets::setRole(this, QAccessible::StatusBar);
    setFont(font);
    Labels::setColour(this, colour);
}

void LiveStatus::announce(const QString& text) {
    if (accessibleName() == text) {
        setText(text);
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
        return;
    }
    // The name first: with a name set, the label's own text change stays silent.
    setAccessibleName(text);
    setText(text);
}

void LiveStatus::tick(const QString& text, std::chrono::seconds reading) {
    if (!m_spokenReading.has_value() ||
        std::abs((reading - *m_spokenReading).count()) >= clockGap.count()) {
        m_spokenReading = reading;
        announce(text);
        return;
    }
    setText(text);
}
