#pragma once

#include <QColor>
#include <QIconEngine>
#include <QString>

// A registry icon drawn at the size it is shown at, when it is first shown, instead of at every
// size a button might ask for.
class TintedIconEngine : public QIconEngine {
public:
    TintedIconEngine(QString name, const QColor& tint);

    // `size` is in device pixels: QIcon asks for the size times the device pixel ratio.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    bool isNull() override { return false; }
    QString key() const override;
    QIconEngine* clone() const override;

private:
    QString m_name;
    QColor m_tint;
};
