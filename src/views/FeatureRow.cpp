#include "views/FeatureRow.h"

#include "views/IconRegistry.h"
#include "views/Palette.h"

#include <QHBoxLayout>
#include <QLabel>

FeatureRow::FeatureRow(const QString& icon, const QString& text, QWidget* parent)
    : QWidget(parent), m_icon(icon), m_text(text) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);

    auto* symbol = new QLabel(this);
    symbol->setObjectName(QStringLiteral("icon"));
    symbol->setFixedSize(16, 16);
    symbol->setAlignment(Qt::AlignCenter);
    symbol->setPixmap(IconRegistry::pixmap(icon, 11, Palette::blue()));
    layout->addWidget(symbol);

    auto* label = new QLabel(text, this);
    label->setObjectName(QStringLiteral("text"));
    label->setFont(Palette::font(12));
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Palette::primaryText());
    label->setPalette(colours);
    layout->addWidget(label);

    layout->addStretch();
}
