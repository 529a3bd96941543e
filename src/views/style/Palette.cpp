#include "views/style/Palette.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>

namespace {

std::atomic<bool> highContrastMode = false;

double channel(double value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour) {
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

// `above` blended over the opaque `below`.
QColor over(const QColor& below, const QColor& above) {
    const double a = above.alphaF();
    const auto mix = [a](int top, int bottom) {
        return static_cast<int>(std::lround(top * a + bottom * (1.0 - a)));
    };
    return {mix(above.red(), below.red()), mix(above.green(), below.green()),
            mix(above.blue(), below.blue())};
}

// `share` of the way to opaque black.
QColor towardsBlack(const QColor& colour, double share) {
    QColor result = colour;
    const auto scale = [share](int value) {
        return static_cast<int>(std::lround(value * (1.0 - share)));
    };
    result.setRgb(scale(colour.red()), scale(colour.green()), scale(colour.blue()));
    result.setAlphaF(static_cast<float>(colour.alphaF() + (1.0 - colour.alphaF()) * share));
    return result;
}

double worstContrast(const QColor& colour) {
    double worst = 21.0;
    for (const QColor& surface : Palette::surfaces()) {
        worst = std::min(worst, Palette::contrast(colour, surface));
    }
    return worst;
}

// Each named colour in both modes; a text colour darkened to text contrast, the grey of the
// symbols to symbol contrast.
struct Pair {
    QColor normal;
    QColor high;
};

const std::array<Pair, 6>& pairs() {
    static const std::array<Pair, 6> table = [] {
        const auto text = [](const QColor& c) {
            return Pair{c, Palette::darkenedFor(c, Palette::textContrast)};
        };
        return std::array<Pair, 6>{
            text(QColor(0, 122, 255)),
            text(QColor(40, 205, 65)),
            text(QColor(255, 149, 0)),
            text(QColor(255, 59, 48)),
            text(QColor(0, 0, 0, 128)),
            Pair{QColor(142, 142, 147),
                 Palette::darkenedFor(QColor(142, 142, 147), Palette::symbolContrast)}};
    }();
    return table;
}

QColor named(std::size_t index) {
    const Pair& pair = pairs().at(index);
    return highContrastMode.load() ? pair.high : pair.normal;
}

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
    return named(0);
}
QColor Palette::green() {
    return named(1);
}
QColor Palette::orange() {
    return named(2);
}
QColor Palette::red() {
    return named(3);
}
QColor Palette::grey() {
    return named(5);
}
QColor Palette::primaryText() {
    return QColor(0, 0, 0, 217);
}
QColor Palette::secondaryText() {
    return named(4);
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

bool Palette::highContrast() {
    return highContrastMode.load();
}

void Palette::setHighContrast(bool on) {
    highContrastMode.store(on);
}

QList<QColor> Palette::surfaces() {
    // Fixed default values: the surfaces stay light in both modes.
    const QColor window(236, 236, 236);
    QList<QColor> result{window, QColor(255, 255, 255)};
    for (const auto& [tint, opacity] : {std::pair{QColor(142, 142, 147), 0.05},
                                        {QColor(142, 142, 147), 0.15},
                                        {QColor(0, 122, 255), 0.05},
                                        {QColor(40, 205, 65), 0.1},
                                        {QColor(255, 149, 0), 0.1}}) {
        QColor tinted = tint;
        tinted.setAlphaF(static_cast<float>(opacity));
        result.append(over(window, tinted));
    }
    return result;
}

double Palette::contrast(const QColor& colour, const QColor& background) {
    const double a = luminance(over(background, colour));
    const double b = luminance(background);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor Palette::darkenedFor(const QColor& colour, double ratio) {
    if (worstContrast(colour) >= ratio) {
        return colour;
    }
    // The least share of black that reaches the ratio, to a 1/1024.
    double low = 0.0;
    double high = 1.0;
    for (int step = 0; step < 10; ++step) {
        const double middle = (low + high) / 2.0;
        (worstContrast(towardsBlack(colour, middle)) >= ratio ? high : low) = middle;
    }
    return towardsBlack(colour, high);
}

QColor Palette::current(const QColor& colour) {
    for (const Pair& pair : pairs()) {
        const QColor& other = highContrast() ? pair.normal : pair.high;
        const QColor& wanted = highContrast() ? pair.high : pair.normal;
        // Tints (an opaque colour at reduced opacity) are surfaces and stay as they are.
        const bool same = other.alpha() < 255
                              ? colour == other
                              : colour.rgb() == other.rgb() && colour.alpha() == 255;
        if (same) {
            return wanted;
        }
    }
    return colour;
}

QString Palette::currentSheet(const QString& sheet) {
    static const QRegularExpression written(QStringLiteral("#[0-9a-fA-F]{8}\\b"));
    QString result;
    qsizetype done = 0;
    for (const QRegularExpressionMatch& match : written.globalMatch(sheet)) {
        result += sheet.mid(done, match.capturedStart() - done) +
                  css(current(QColor::fromString(match.captured())));
        done = match.capturedEnd();
    }
    return result + sheet.mid(done);
}

QColor Palette::badgeFill() {
    return highContrast() ? secondaryText() : withOpacity(grey(), 0.3);
}

QString Palette::css(const QColor& colour) {
    return colour.name(QColor::HexArgb);
}

QColor Palette::withOpacity(const QColor& colour, double opacity) {
    // NaN and out-of-range values must not reach QColor::setAlphaF, which rejects them.
    const double clamped = opacity > 0.0 ? std::min(opacity, 1.0) : 0.0;
    // A tint is a surface: it keeps the described colour in both modes.
    QColor result = colour;
    if (clamped < 1.0 && colour.alpha() == 255) {
        for (const Pair& pair : pairs()) {
            if (colour.rgb() == pair.high.rgb() && pair.high.alpha() == 255) {
                result = pair.normal;
            }
        }
    }
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
