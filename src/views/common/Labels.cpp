#include "views/common/Labels.h"

#include <QLabel>
#include <QPalette>

QLabel* Labels::text(const QString& text, const QFont& font, const QColor& colour,
                     QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    setColour(label, colour);
    return label;
}

void Labels::setColour(QLabel* label, const QColor& colour) {
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
}
