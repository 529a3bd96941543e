#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QMessageBox;
class QWidget;

// The program's warning box (QMessageBox with the warning icon), for a screen's alert and for the
// installer's own warning. Tests answer alerts through setPresenter instead of clicking a box.
class AlertDialog {
public:
    AlertDialog() = delete;

    struct Alert {
        QString title;
        QString text;
        QString informativeText;
        // Left to right as the style orders them; the first is the default button.
        QStringList buttons;
        // The answer for Escape and the window's close button.
        int escapeButton = 0;
    };
    // Index into Alert::buttons of the button that closed the box.
    using Answer = std::function<void(int button)>;
    using Presenter = std::function<int(const Alert& alert)>;

    // Window-modal over `parent`, without blocking the event loop; `answer` runs once the box is
    // closed, and only while `parent` still exists. Returns the box, or null when a presenter
    // answers instead.
    static QMessageBox* open(QWidget* parent, const Alert& alert, const Answer& answer);
    // Application-modal; returns once the box is closed.
    static int exec(QWidget* parent, const Alert& alert);

    // While set, no box is shown: each alert is handed to the presenter, whose answer arrives as
    // if its button had been clicked. An empty presenter restores the boxes.
    static void setPresenter(Presenter presenter);

    // Gives a warning box the palette's warning sign, drawn at the screen's scale: the style's
    // own is a small bitmap that blurs when scaled up.
    static void useWarningIcon(QMessageBox* box);

    // Makes the installer show its warning for an already deployed Devtron through this box.
    static void installInstallerAlert();
};
