#pragma once

#include <QColor>
#include <QMargins>
#include <QPushButton>

// A push button drawn flat in the palette's colours: a rounded fill (none where transparent) with
// the label inside the padding, no frame, no bevel. Painted by hand rather than through a style
// sheet, which would send every button through Qt's style-sheet machinery at start.
class FlatButton : public QPushButton {
    Q_OBJECT

public:
    struct Look {
        QColor fill;
        QColor disabledFill;
        QColor text;
        QColor disabledText;
        int radius = 0;
        QMargins padding;
    };

    FlatButton(const QString& text, const Look& look, QWidget* parent);

    // The label's size (icon, 4 px, text; "XXXX" while empty, as any push button) and the padding.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Look m_look;
};
