#include "views/style/TintedIconEngine.h"

#include "views/style/IconRegistry.h"

#include <QPaintDevice>
#include <QPainter>

#include <utility>

TintedIconEngine::TintedIconEngine(QString name, const QColor& tint)
    : m_name(std::move(name)), m_tint(tint) {}

QPixmap TintedIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    QPixmap normal = IconRegistry::devicePixmap(m_name, qMin(size.width(), size.height()), m_tint);
    if (mode == QIcon::Normal || mode == QIcon::Active || normal.isNull()) {
        return normal;
    }
    // Disabled and selected looks come from the application's style, as for any plain icon.
    return QIcon(normal).pixmap(normal.size(), 1.0, mode, state);
}

void TintedIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                             QIcon::State state) {
    const qreal ratio = painter->device() != nullptr ? painter->device()->devicePixelRatio() : 1.0;
    QPixmap shown = pixmap(rect.size() * ratio, mode, state);
    shown.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), shown);
}

QString TintedIconEngine::key() const {
    return QStringLiteral("nimbrel-tinted");
}

QIconEngine* TintedIconEngine::clone() const {
    return new TintedIconEngine(m_name, m_tint);
}
