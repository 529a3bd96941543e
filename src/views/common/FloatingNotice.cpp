#include "views/common/FloatingNotice.h"

#include "views/style/Palette.h"

#include <QTimer>

FloatingNotice::FloatingNotice(QWidget* parent)
    : LiveStatus(Palette::font(13, QFont::Medium), Palette::white(), parent),
      m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("notice"));
    setAlignment(Qt::AlignCenter);
    setStyleSheet(QStringLiteral("QLabel#notice { background-color: %1; "
                                 "border-radius: 6px; padding: 8px 16px; }")
                      .arg(Palette::css(Palette::withOpacity(Palette::black(), 0.75))));
    hide();
    m_timer->setSingleShot(true);
    m_timer->setInterval(shownMs);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
}

void FloatingNotice::flash(const QString& text) {
    // Shown before it speaks: a reader passes over what is hidden.
    show();
    announce(text);
    adjustSize();
    const QWidget* over = parentWidget();
    move((over->width() - width()) / 2, over->height() - height() - 80);
    raise();
    m_timer->start();
}
