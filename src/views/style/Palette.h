#pragma once

#include <QColor>
#include <QFont>

#include <QList>

// The one source of colours and fonts. Fixed light-theme values; screens never name a colour.
// When the desktop asks for higher contrast, every colour text or a symbol is drawn in is
// darkened just enough to stand out against the darkest surface it is drawn on: 4.5:1 for text,
// 3:1 for the grey of symbols (WCAG AA).
class Palette {
public:
    Palette() = delete;

    static constexpr double textContrast = 4.5;
    static constexpr double symbolContrast = 3.0;

    static bool highContrast();
    // Widgets built afterwards take the new colours; the window is recoloured by its owner.
    static void setHighContrast(bool on);
    // The surfaces text and symbols are drawn on: the window, its tinted boxes and the white card.
    static QList<QColor> surfaces();
    // WCAG's contrast ratio of `colour` laid over the opaque `background` against that background.
    static double contrast(const QColor& colour, const QColor& background);
    // `colour` made darker (and more opaque) only as far as needed for `ratio` against every
    // surface.
    static QColor darkenedFor(const QColor& colour, double ratio);
    // `colour` as the current mode draws it: a colour of the other mode becomes its counterpart,
    // at the same opacity; any other colour stays.
    static QColor current(const QColor& colour);
    // A style sheet's colours (as `css` writes them) as the current mode draws them.
    static QString currentSheet(const QString& sheet);
    // The fill of a badge whose white number must be read: faint grey by default.
    static QColor badgeFill();

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
