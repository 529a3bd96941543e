#pragma once

#include <QList>

class QPushButton;
class QWidget;

// Keyboard use of a screen: the order Tab takes through its controls, and Return.
class KeyboardAccess {
public:
    KeyboardAccess() = delete;

    // Tab visits the widgets in this order, starting right after `screen`, so that the first of
    // them is the one a newly shown screen gives the focus to. Null entries, the parts a screen
    // leaves out, are skipped.
    static void chainTabs(QWidget* screen, const QList<QWidget*>& widgets);

    // Return (or Enter) anywhere on `screen` presses the push button that has the focus, else
    // `primary`, as a click would; nothing while the button is hidden or disabled, or while a
    // multi-line text box has the focus.
    static void returnPresses(QWidget* screen, QPushButton* primary);
};
