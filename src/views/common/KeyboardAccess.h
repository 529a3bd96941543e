#pragma once

#include <QList>

class QLabel;
class QPushButton;
class QWidget;

// Keyboard use of a screen: the order Tab takes through its controls, where the focus starts,
// and Return.
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

    // Marks the screen's title, which takes the focus when the screen shows no control.
    static void markTitle(QLabel* title);
    // Gives the focus to the first control Tab reaches on `screen`, else to its title, so that a
    // screen reader starts reading the new screen there.
    static void focusStart(QWidget* screen);
};
