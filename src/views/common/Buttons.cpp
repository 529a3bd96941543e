#include "views/common/Buttons.h"

#include "views/common/FlatButton.h"
#include "views/style/Palette.h"

namespace {

// The filled buttons share their shape: no border, 6 px corners, 16 × 8 px padding.
QPushButton* filled(const QString& text, const QColor& fill, const QColor& textColour,
                    const QColor& disabledFill, QWidget* parent) {
    auto* button = new FlatButton(
        text, {fill, disabledFill, textColour, textColour, 6, QMargins(16, 8, 16, 8)}, parent);
    // Kept when the label gives way to a spinner.
    button->setAccessibleName(text);
    button->setFont(Palette::font(13, QFont::Medium));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

} // namespace

QPushButton* Buttons::primary(const QString& text, QWidget* parent, const QColor& disabledFill) {
    return filled(text, Palette::blue(), Palette::white(), disabledFill, parent);
}

QPushButton* Buttons::secondary(const QString& text, QWidget* parent) {
    const QColor fill = Palette::withOpacity(Palette::grey(), 0.1);
    return filled(text, fill, Palette::primaryText(), fill, parent);
}

QPushButton* Buttons::link(const QString& text, int pixelSize, QWidget* parent) {
    const QColor none(Qt::transparent);
    auto* button = new FlatButton(
        text, {none, none, Palette::blue(), Palette::secondaryText(), 0, QMargins()}, parent);
    button->setAccessibleName(text);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(Palette::font(pixelSize));
    return button;
}

QColor Buttons::dimmedFill() {
    return Palette::withOpacity(Palette::grey(), 0.3);
}
