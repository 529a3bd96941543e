#include "views/common/DetailedErrorView.h"

#include "views/common/Labels.h"
#include "views/style/IconRegistry.h"
#include "views/style/Palette.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
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
        return QStringLiteral("未知错误");
    }
    return *message;
}

DetailedErrorView::DetailedErrorView(const QString& errorMessage, QWidget* parent)
    : QWidget(parent), m_message(new QTextEdit(this)) {
    setFixedWidth(kCardWidth);

    auto* icon = new QLabel(this);
    icon->setPixmap(
        IconRegistry::pixmap(QStringLiteral("exclamationmark.triangle.fill"), 22, Palette::red()));

    QLabel* title = Labels::text(QStringLiteral("安装错误"), Palette::font(13, QFont::DemiBold),
                                 Palette::red(), this);
    title->setObjectName(QStringLiteral("errorTitle"));

    auto* closeButton = new QToolButton(this);
    closeButton->setObjectName(QStringLiteral("closeButton"));
    closeButton->setAccessibleName(QStringLiteral("关闭"));
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
    m_message->setReadOnly(true);
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

    auto* okButton = new QPushButton(QStringLiteral("确定"), this);
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
