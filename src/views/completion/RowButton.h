#pragma once

#include <QString>

class QPushButton;
class QWidget;

// The small flat grey symbol button of the completion screen's rows.
QPushButton* makeRowButton(const QString& icon, const QString& name, QWidget* parent);
