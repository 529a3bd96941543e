#pragma once

#include <QWidget>

// A horizontal bar showing a fraction from 0 to 1. It takes the width it is given; the screen
// that uses it sets its height. A screen reader reads it as a progress bar from 0 to 100 %.
class ProgressBar : public QWidget {
    Q_OBJECT

public:
    explicit ProgressBar(double progress = 0.0, QWidget* parent = nullptr);

    double progress() const { return m_progress; }
    void setProgress(double progress);

    // The fill's share of the width: the progress clamped to 0.02..1.0, so an empty bar still
    // shows a sliver and an overshoot shows a full bar. A NaN counts as empty.
    static double fillFraction(double progress);
    // The progress in whole percent, clamped to 0..100 (a NaN counts as 0): what a reader says.
    int percent() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_progress;
};
