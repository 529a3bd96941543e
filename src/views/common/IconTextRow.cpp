#include "views/common/IconTextRow.h"

#include "views/common/FilledLabel.h"
#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpacerItem>

IconTextRow::IconTextRow(const QString& icon, const QString& text, QWidget* parent)
    : QWidget(parent), m_icon(icon), m_text(text), m_layout(new QHBoxLayout(this)),
      m_symbol(new FilledLabel(this)),
      m_label(Labels::text(text, Palette::font(12), Palette::primaryText(), this)),
      m_freeSpace(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(10);
    m_symbol->setFixedSize(16, 16);
    m_symbol->setAlignment(Qt::AlignCenter);
    m_layout->addWidget(m_symbol);
    // Hidden, it takes neither room nor spacing.
    m_symbol->setVisible(!icon.isEmpty());

    m_label->setObjectName(QStringLiteral("text"));
    m_layout->addWidget(m_label);
    m_layout->addSpacerItem(m_freeSpace);
    // Read as one line; the symbol only decorates the text.
    setAccessibleName(text);
}

void IconTextRow::showSymbol(const QColor& tint, int pixelSize) {
    m_symbol->setObjectName(QStringLiteral("icon"));
    m_symbol->setFill(Qt::transparent, 0);
    m_symbol->setPixmap(IconRegistry::pixmap(m_icon, pixelSize, tint));
}

void IconTextRow::showBadge(const QString& letter, const QColor& background) {
    m_symbol->setObjectName(QStringLiteral("badge"));
    m_symbol->setText(letter);
    m_symbol->setFont(Palette::font(9, QFont::Bold));
    Labels::setColour(m_symbol, Palette::white());
    m_symbol->setFill(background, 3);
}

void IconTextRow::setTextLook(int pixelSize, const QColor& colour, int width) {
    m_label->setFont(Palette::font(pixelSize));
    Labels::setColour(m_label, colour);
    m_label->setFixedWidth(width);
}

void IconTextRow::addAfterText(QWidget* part, int stretch) {
    m_layout->insertWidget(m_layout->indexOf(m_freeSpace), part, stretch);
}
