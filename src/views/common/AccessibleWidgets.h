#pragma once

#include <QAccessible>

class QWidget;

// What a screen reader is told about widgets whose Qt class says too little: a role of the
// screen's choosing (the window, an alert, a radio button drawn as a segment, a status line) and
// the value of the progress bar. One interface factory serves them all.
class AccessibleWidgets {
public:
    AccessibleWidgets() = delete;

    // Registers the factory; later calls do nothing.
    static void install();

    // `widget` is presented in `role`. A checkable button keeps its checked state and its press
    // action. With `readAsOne` its child widgets are left out, so that it is read as one line
    // (its accessible name) rather than part by part.
    static void setRole(QWidget* widget, QAccessible::Role role, bool readAsOne = false);
};
