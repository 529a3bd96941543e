#pragma once

#include <QWidget>

class DetailedErrorView;

// The error layers: a dim layer over the whole window with the error card on top of it.
class ErrorOverlay : public QWidget {
    Q_OBJECT

public:
    explicit ErrorOverlay(const QString& message, QWidget* parent = nullptr);

    DetailedErrorView* card() const { return m_card; }

signals:
    // The card was closed, or the dim layer around it was clicked.
    void dismissRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    DetailedErrorView* m_card;
};
