#include "views/TextLabel.h"

#include <QLabel>
#include <QPalette>

QLabel* makeTextLabel(const QString& text, const QFont& font, const QColor& colour,
                      QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, colour);
    label->setPalette(colours);
    return label;
}
