#include "views/choice/FeatureRow.h"

#include "views/style/Palette.h"

FeatureRow::FeatureRow(const QString& icon, const QString& text, QWidget* parent)
    : IconTextRow(icon, text, parent) {
    showSymbol(Palette::blue());
}
