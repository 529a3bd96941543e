#include "views/style/Palette.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QStringList>

#include <algorithm>

namespace {

// Simplified-Chinese families first, so Han characters never take Japanese glyph shapes.
QStringList cjkFirst(const QString& systemFamily) {
    QStringList families{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")};
    if (!systemFamily.isEmpty() && !families.contains(systemFamily)) {
        families.append(systemFamily);
    }
    return families;
}

} // namespace

QColor Palette::blue() {
    return QColor(0, 122, 255);
}
QColor Palette::green() {
    return QColor(40, 205, 65);
}
QColor Palette::orange() {
    return QColor(255, 149, 0);
}
QColor Palette::red() {
    return QColor(255, 59, 48);
}
QColor Palette::grey() {
    return QColor(142, 142, 147);
}
QColor Palette::primaryText() {
    return QColor(0, 0, 0, 217);
}
QColor Palette::secondaryText() {
    return QColor(0, 0, 0, 128);
}
QColor Palette::windowBackground() {
    return QColor(236, 236, 236);
}
QColor Palette::controlBackground() {
    return QColor(255, 255, 255);
}
QColor Palette::separator() {
    return QColor(0, 0, 0, 26);
}
QColor Palette::white() {
    return QColor(255, 255, 255);
}
QColor Palette::black() {
    return QColor(0, 0, 0);
}
QColor Palette::focusRing() {
    return QColor(0, 40, 120);
}

QString Palette::css(const QColor& colour) {
    return colour.name(QColor::HexArgb);
}

QColor Palette::withOpacity(const QColor& colour, double opacity) {
    // NaN and out-of-range values must not reach QColor::setAlphaF, which rejects them.
    const double clamped = opacity > 0.0 ? std::min(opacity, 1.0) : 0.0;
    QColor result = colour;
    result.setAlphaF(static_cast<float>(colour.alphaF() * clamped));
    return result;
}

QFont Palette::font(int pixelSize, QFont::Weight weight) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setFamilies(cjkFirst(font.family()));
    font.setPixelSize(std::max(1, pixelSize));
    font.setWeight(weight);
    return font;
}

QFont Palette::monospaceFont(int pixelSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // A Latin monospace face first keeps columns aligned; the CJK faces cover Chinese text.
    QStringList families{font.family(), QStringLiteral("Noto Sans Mono CJK SC")};
    families.append(cjkFirst({}));
    families.removeAll(QString());
    families.removeDuplicates();
    font.setFamilies(families);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}

void Palette::applyApplicationFont() {
    QFont font = QGuiApplication::font();
    font.setFamilies(cjkFirst(font.family()));
    QGuiApplication::setFont(font);
}

void Palette::applyApplicationPalette() {
    QPalette palette = QGuiApplication::palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool enabled = group != QPalette::Disabled;
        const QColor text = enabled ? primaryText() : secondaryText();
        palette.setColor(group, QPalette::Window, windowBackground());
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::Base, controlBackground());
        palette.setColor(group, QPalette::AlternateBase, windowBackground());
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Button, controlBackground());
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::PlaceholderText, secondaryText());
        palette.setColor(group, QPalette::ToolTipBase, controlBackground());
        palette.setColor(group, QPalette::ToolTipText, primaryText());
        palette.setColor(group, QPalette::Highlight, blue());
        palette.setColor(group, QPalette::HighlightedText, white());
        palette.setColor(group, QPalette::Link, blue());
        palette.setColor(group, QPalette::BrightText, white());
    }
    QGuiApplication::setPalette(palette);
}
