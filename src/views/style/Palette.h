#pragma once

#include <QColor>
#include <QFont>

// The one source of colours and fonts. Fixed light-theme values; screens never name a colour.
class Palette {
public:
    Palette() = delete;

    static QColor blue();
    static QColor green();
    static QColor orange();
    static QColor red();
    static QColor grey();
    static QColor primaryText();
    static QColor secondaryText();
    static QColor windowBackground();
    static QColor controlBackground();
    static QColor separator();
    static QColor white();
    static QColor black();
    // The keyboard focus ring: dark enough to stand out on the light backgrounds and on blue.
    static QColor focusRing();

    // The colour at the given opacity (0.0 to 1.0), for tinted backgrounds and borders.
    static QColor withOpacity(const QColor& colour, double opacity);
    // The colour as a style sheet value ("#AARRGGBB"), opacity included.
    static QString css(const QColor& colour);

    // The system font with a Simplified-Chinese CJK family first, at a size in logical pixels.
    static QFont font(int pixelSize, QFont::Weight weight = QFont::Normal);
    static QFont monospaceFont(int pixelSize);
    // Installs the CJK-first font as the application font.
    static void applyApplicationFont();
    // Installs these light-theme colours as the application palette, so that controls stay
    // readable on the fixed light backgrounds under a dark desktop theme too.
    static void applyApplicationPalette();
};
