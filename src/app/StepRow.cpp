#include "app/StepRow.h"

#include "views/common/AccessibleWidgets.h"
#include "views/common/FilledLabel.h"
#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr int kBadgeSize = 20;
} // namespace

StepRow::StepRow(const StepRowModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    // The badge's colour and checkmark say the state only to the eye: the row is read as one line
    // that names it.
    AccessibleWidgets::setRole(this, QAccessible::ListItem, true);
    setAccessibleName(m_model.accessibleName());
    auto* badge = new FilledLabel(this);
    badge->setObjectName(QStringLiteral("stepBadge"));
    badge->setFixedSize(kBadgeSize, kBadgeSize);
    badge->setAlignment(Qt::AlignCenter);
    badge->setFill(m_model.badgeColour(), kBadgeSize / 2);
    Labels::setColour(badge, Palette::white());
    if (m_model.isCompleted) {
        badge->setPixmap(IconRegistry::pixmap(QStringLiteral("checkmark"), 10, Palette::white()));
    } else {
        badge->setFont(Palette::font(10, QFont::Medium));
        badge->setText(QString::number(m_model.number));
    }

    QLabel* title = Labels::text(m_model.title, Palette::font(12, m_model.titleWeight()),
                                 m_model.titleColour(), this);
    title->setObjectName(QStringLiteral("stepTitle"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addWidget(badge);
    layout->addWidget(title);
    layout->addStretch();
}
