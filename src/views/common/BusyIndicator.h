#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>

// A small spinning arc that shows work in progress; it turns only while visible.
class BusyIndicator : public QWidget {
    Q_OBJECT

public:
    explicit BusyIndicator(const QColor& colour, int diameter, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QColor m_colour;
    int m_diameter;
    int m_angle = 0;
    QTimer m_timer;
};
