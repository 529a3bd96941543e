#include "app/StepRow.h"

#include "views/IconRegistry.h"
#include "views/Palette.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr int kBadgeSize = 20;
} // namespace

StepRow::StepRow(const StepRowModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    auto* badge = new QLabel(this);
    badge->setObjectName(QStringLiteral("stepBadge"));
    badge->setFixedSize(kBadgeSize, kBadgeSize);
    badge->setAlignment(Qt::AlignCenter);
    badge->setStyleSheet(
        QStringLiteral("QLabel { background-color: %1; color: %2; border-radius: %3px; }")
            .arg(m_model.badgeColour().name(QColor::HexArgb),
                 Palette::white().name(QColor::HexArgb))
            .arg(kBadgeSize / 2));
    if (m_model.isCompleted) {
        badge->setPixmap(IconRegistry::pixmap(QStringLiteral("checkmark"), 10, Palette::white()));
    } else {
        badge->setFont(Palette::font(10, QFont::Medium));
        badge->setText(QString::number(m_model.number));
    }

    auto* title = new QLabel(m_model.title, this);
    title->setObjectName(QStringLiteral("stepTitle"));
    title->setFont(Palette::font(12, m_model.titleWeight()));
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, m_model.titleColour());
    title->setPalette(titlePalette);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(badge);
    layout->addWidget(title);
    layout->addStretch();
}
