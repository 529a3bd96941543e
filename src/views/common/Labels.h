#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// Text in the palette's fonts and colours: the one way a screen colours a label.
class Labels {
public:
    Labels() = delete;

    static QLabel* text(const QString& text, const QFont& font, const QColor& colour,
                        QWidget* parent);
    // Changes the text colour of an existing label (a row that turns active, say).
    static void setColour(QLabel* label, const QColor& colour);
};
