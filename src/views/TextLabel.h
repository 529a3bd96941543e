#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QWidget;

// A plain text label in the given font and text colour.
QLabel* makeTextLabel(const QString& text, const QFont& font, const QColor& colour,
                      QWidget* parent);
