#pragma once

#include <QColor>
#include <QLabel>

// A label on a ground of one colour inside rounded corners: the step list's numbered badges and the
// letter badges of icon rows. Painted by hand for the reason `RoundedPanel` is.
class FilledLabel : public QLabel {
    Q_OBJECT

public:
    explicit FilledLabel(QWidget* parent = nullptr);

    // A transparent `fill` leaves the ground clear.
    void setFill(const QColor& fill, int radius);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill = Qt::transparent;
    int m_radius = 0;
};
