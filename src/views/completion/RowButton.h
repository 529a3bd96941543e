#pragma once

#include <QString>

class QPushButton;
class QWidget;

// The small flat grey symbol button of the completion screen's rows. It shows no text, so
// `accessibleName` says what it does ("复制地址").
QPushButton* makeRowButton(const QString& icon, const QString& name, const QString& accessibleName,
                           QWidget* parent);
