#include "views/common/Buttons.h"

#include "views/style/Palette.h"

#include <QPushButton>

namespace {

// The filled buttons share their shape: no border, 6 px corners, 16 × 8 px padding.
QPushButton* filled(const QString& text, const QColor& fill, const QColor& textColour,
                    const QColor& disabledFill, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    // Kept when the label gives way to a spinner.
    button->setAccessibleName(text);
    button->setFont(Palette::font(13, QFont::Medium));
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %2; "
                       "border: none; border-radius: 6px; padding: 8px 16px; }"
                       "QPushButton:disabled { background-color: %3; }")
            .arg(Palette::css(fill), Palette::css(textColour), Palette::css(disabledFill)));
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
    auto* button = new QPushButton(text, parent);
    button->setAccessibleName(text);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setFont(Palette::font(pixelSize));
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; background: transparent; "
                       "border: none; padding: 0; }"
                       "QPushButton:disabled { color: %2; }")
            .arg(Palette::css(Palette::blue()), Palette::css(Palette::secondaryText())));
    return button;
}

QColor Buttons::dimmedFill() {
    return Palette::withOpacity(Palette::grey(), 0.3);
}
