#include "views/ConfigItemRow.h"

#include "views/IconRegistry.h"
#include "views/Palette.h"
#include "views/TextLabel.h"

#include <QHBoxLayout>
#include <QLabel>

ConfigItemRow::ConfigItemRow(const QString& icon, const QString& text, QWidget* parent)
    : QWidget(parent), m_icon(icon), m_text(text) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    auto* symbol = new QLabel(this);
    symbol->setFixedSize(16, 16);
    symbol->setAlignment(Qt::AlignCenter);
    if (const auto letter = badgeLetter(icon)) {
        symbol->setObjectName(QStringLiteral("badge"));
        symbol->setText(*letter);
        symbol->setFont(Palette::font(9, QFont::Bold));
        symbol->setStyleSheet(
            QStringLiteral("#badge { color: %1; background-color: %2; border-radius: 3px; }")
                .arg(Palette::white().name(QColor::HexArgb),
                     Palette::withOpacity(Palette::grey(), 0.8).name(QColor::HexArgb)));
    } else {
        symbol->setObjectName(QStringLiteral("icon"));
        symbol->setPixmap(IconRegistry::pixmap(icon, 11, Palette::grey()));
    }
    layout->addWidget(symbol);

    auto* label = makeTextLabel(text, Palette::font(12), Palette::primaryText(), this);
    label->setObjectName(QStringLiteral("text"));
    layout->addWidget(label);

    layout->addStretch();
}

std::optional<QString> ConfigItemRow::badgeLetter(const QString& icon) {
    if (icon == QLatin1String("helm") || icon == QLatin1String("kubectl")) {
        return icon.left(1).toUpper();
    }
    return std::nullopt;
}
