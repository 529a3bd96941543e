#include "views/common/FlatButton.h"

#include "views/common/RoundedPanel.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {
// Between a button's icon and its text, as the style lays them out.
constexpr int kIconSpacing = 4;
} // namespace

FlatButton::FlatButton(const QString& text, const Look& look, QWidget* parent)
    : QPushButton(text, parent), m_look(look) {}

QSize FlatButton::sizeHint() const {
    ensurePolished();
    QSize label(0, 0);
    if (!icon().isNull()) {
        label = QSize(iconSize().width() + kIconSpacing, iconSize().height());
    }
    const bool empty = text().isEmpty();
    const QSize textSize =
        fontMetrics().size(Qt::TextShowMnemonic, empty ? QStringLiteral("XXXX") : text());
    if (!empty || label.width() == 0) {
        label.rwidth() += textSize.width();
    }
    if (!empty || label.height() == 0) {
        label.setHeight(qMax(label.height(), textSize.height()));
    }
    return label.grownBy(m_look.padding);
}

void FlatButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    RoundedPanel::paintFill(painter, rect(), m_look.radius,
                            isEnabled() ? m_look.fill : m_look.disabledFill);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = rect().marginsRemoved(m_look.padding);
    option.palette.setColor(QPalette::ButtonText, isEnabled() ? m_look.text : m_look.disabledText);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);
    // The style's own mark of keyboard focus, around the label, beside the application's ring.
    if ((option.state & QStyle::State_HasFocus) != 0) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
