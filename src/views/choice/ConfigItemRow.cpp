#include "views/choice/ConfigItemRow.h"

#include "views/style/Palette.h"

ConfigItemRow::ConfigItemRow(const QString& icon, const QString& text, QWidget* parent)
    : IconTextRow(icon, text, parent) {
    if (const auto letter = badgeLetter(icon)) {
        showBadge(*letter, Palette::withOpacity(Palette::grey(), 0.8));
    } else {
        showSymbol(Palette::grey());
    }
}

std::optional<QString> ConfigItemRow::badgeLetter(const QString& icon) {
    if (icon == QLatin1String("helm") || icon == QLatin1String("kubectl")) {
        return icon.left(1).toUpper();
    }
    return std::nullopt;
}
