#include "views/common/DetailedErrorView.h"

#include "views/common/AccessibleWidgets.h"
#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QAccessible>
#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int kCardWidth = 400;
constexpr int kPadding = 16;
constexpr qreal kCornerRadius = 12.0;
constexpr int kMessageHeight = 100;
} // namespace

QString errorCardText(const std::optional<QString>& message) {
    // A blank message tells the user no more than a missing one does.
    if (!message.has_value() || message->trimmed().isEmpty()) {
        return QCoreApplication::translate("DetailedErrorView", "未知错误");
    }
    return *message;
}

DetailedErrorView::DetailedErrorView(const QString& errorMessage, QWidget* parent)
    : QWidget(parent), m_message(new QTextEdit(this)) {
    // Read as an alert: its title, then the message.
    AccessibleWidgets::setRole(this, QAccessible::AlertMessage);
    setAccessibleName(tr("安装错误"));
    setFixedWidth(kCardWidth);

    auto* icon = new QLabel(this);
    icon->setPixmap(
        IconRegistry::pixmap(QStringLiteral("exclamationmark.triangle.fill"), 22, Palette::red()));

    QLabel* title =
        Labels::text(tr("安装错误"), Palette::font(13, QFont::DemiBold), Palette::red(), this);
    title->setObjectName(QStringLiteral("errorTitle"));

    auto* closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAccessibleName(tr("关闭"));
    closeButton->setAutoRaise(true);
    closeButton->setCursor(Qt::PointingHandCursor);
    closeButton->setIconSize(QSize(14, 14));
    closeButton->setIcon(IconRegistry::icon(QStringLiteral("xmark"), Palette::grey()));
    closeButton->setStyleSheet(
        QStringLiteral("QToolButton { border: none; background: transparent; }"));
    connect(closeButton, &QToolButton::clicked, this, &DetailedErrorView::dismissed);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 4);
    header->addWidget(icon);
    header->addWidget(title);
    header->addStretch();
    header->addWidget(closeButton);

    m_message->setObjectName(QStringLiteral("errorMessage"));
    m_message->setAccessibleName(tr("错误详情"));
    m_message->setReadOnly(true);
    m_message->setTabChangesFocus(true);
    m_message->setAcceptRichText(false);
    m_message->setFixedHeight(kMessageHeight);
    m_message->setFrameShape(QFrame::NoFrame);
    m_message->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_message->setFont(Palette::font(13));
    m_message->setStyleSheet(
        QStringLiteral(
            "QTextEdit { background-color: %1; color: %2; border: none; border-radius: 6px; }")
            .arg(Palette::css(Palette::withOpacity(Palette::grey(), 0.05)),
                 Palette::css(Palette::primaryText())));

    auto* okButton = new QPushButton(tr("确定"), this);
    m_okButton = okButton;
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setFont(Palette::font(11));
    okButton->setMinimumWidth(80);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &DetailedErrorView::dismissed);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(16);
    layout->setContentsMargins(kPadding, kPadding, kPadding, kPadding);
    layout->addLayout(header);
    layout->addWidget(m_message);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(Palette::withOpacity(Palette::black(), 0.2));
    shadow->setBlurRadius(10);
    shadow->setOffset(0, 5);
    setGraphicsEffect(shadow);

    setErrorMessage(errorMessage);
}

QString DetailedErrorView::errorMessage() const {
    return m_message->toPlainText();
}

void DetailedErrorView::setErrorMessage(const QString& errorMessage) {
    // Plain text: the message is shown exactly as raised, never read as markup.
    m_message->setPlainText(errorMessage);
    setAccessibleDescription(errorMessage);
    QTextCursor cursor(m_message->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat spacing;
    spacing.setLineHeight(4, QTextBlockFormat::LineDistanceHeight);
    cursor.mergeBlockFormat(spacing);
    m_message->moveCursor(QTextCursor::Start);
}

void DetailedErrorView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(Palette::withOpacity(Palette::grey(), 0.2), 1.0));
    painter.setBrush(Palette::white());
    painter.drawRoundedRect(card, kCornerRadius, kCornerRadius);
}

void DetailedErrorView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void DetailedErrorView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        emit dismissed();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool DetailedErrorView::focusNextPrevChild(bool next) {
    // Tab goes round the card's own controls only: nothing behind the dim layer can be reached.
    QWidget* from = QApplication::focusWidget();
    if (from == nullptr || !isAncestorOf(from)) {
        m_okButton->setFocus(Qt::TabFocusReason);
        return true;
    }
    for (QWidget* widget = from;;) {
        widget = next ? widget->nextInFocusChain() : widget->previousInFocusChain();
        if (widget == from) {
            return true;
        }
        if ((widget->focusPolicy() & Qt::TabFocus) != 0 && isAncestorOf(widget) &&
            widget->isVisible() && widget->isEnabled()) {
            widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
}

void DetailedErrorView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar is not the card appearing.
    if (event->spontaneous()) {
        return;
    }
    m_focusBehind = window()->focusWidget();
    connect(qApp, &QApplication::focusChanged, this, &DetailedErrorView::keepFocus,
            Qt::UniqueConnection);
    m_okButton->setFocus(Qt::OtherFocusReason);
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void DetailedErrorView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous()) {
        return;
    }
    disconnect(qApp, &QApplication::focusChanged, this, &DetailedErrorView::keepFocus);
    if (m_focusBehind && m_focusBehind->isVisible() && m_focusBehind->isEnabled()) {
        m_focusBehind->setFocus(Qt::OtherFocusReason);
    }
}

void DetailedErrorView::keepFocus(QWidget* /*old*/, QWidget* now) {
    if (now == nullptr || now->window() != window() || isAncestorOf(now) || !isVisible()) {
        return;
    }
    // A screen behind moved the focus (a new step's first control): it goes there once the card
    // closes, and stays on the card meanwhile.
    m_focusBehind = now;
    m_okButton->setFocus(Qt::OtherFocusReason);
    // Qt tells a reader of the focus it moved here before it tells of the move behind, which
    // comes last and would leave the reader behind the card: tell it again once that is done.
    QMetaObject::invokeMethod(
        this,
        [this] {
            QWidget* focus = QApplication::focusWidget();
            if (isVisible() && focus != nullptr && isAncestorOf(focus)) {
                QAccessibleEvent event(focus, QAccessible::Focus);
                QAccessible::updateAccessibility(&event);
            }
        },
        Qt::QueuedConnection);
}
