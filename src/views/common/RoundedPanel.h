#pragma once

#include <QColor>
#include <QFrame>

class QPainter;

// A panel filled with one colour inside rounded corners: the screens' cards and boxes. Painted by
// hand: a style sheet would send the panel and everything inside it through Qt's style-sheet
// machinery, which cost the first screen a noticeable share of its start.
class RoundedPanel : public QFrame {
    Q_OBJECT

public:
    RoundedPanel(const QColor& fill, int radius, QWidget* parent = nullptr);

    // Fills `rect` inside corners of `radius`, anti-aliased: the one shape of every rounded fill
    // (panels, badges, buttons, the scroll bar's handle).
    static void paintFill(QPainter& painter, const QRectF& rect, qreal radius, const QColor& fill);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
    int m_radius;
};
