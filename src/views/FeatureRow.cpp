#include "views/FeatureRow.h"

#include "views/IconRegistry.h"
#include "views/Palette.h"
#include "views/TextLabel.h"

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

    auto* label = makeTextLabel(text, Palette::font(12), Palette::primaryText(), this);
    label->setObjectName(QStringLiteral("text"));
    layout->addWidget(label);

    layout->addStretch();
}
