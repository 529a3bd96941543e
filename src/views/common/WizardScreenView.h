#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class BusyIndicator;
class QPushButton;
class QScrollArea;

// The frame of every wizard screen, top to bottom at 30 px padding and 24 px apart: the title
// (20 px, medium) over the subtitle (13 px, secondary colour), the screen's own body in a
// vertical scroll area that takes the free height, and the 36 px navigation row with "上一步"
// on the left (when asked for) and "下一步" on the right.
//
// A screen derives from it, builds its body from the kit (Buttons, Labels, IconTextRow, the
// common widgets) and hands it to setBody(); it binds its controller's properties to the
// widgets and forwards the buttons' clicks to the controller. Nothing else lives in the view.
class WizardScreenView : public QWidget {
    Q_OBJECT

public:
    struct Frame {
        QString title;
        QString subtitle;
        bool hasBackButton = true;
        // The background of "下一步" while it cannot be pressed.
        QColor nextDisabledFill;
    };

    WizardScreenView(const Frame& frame, QWidget* parent);

    // Null when the screen has no way back.
    QPushButton* backButton() const { return m_backButton; }
    QPushButton* nextButton() const { return m_nextButton; }

    // A screen's vertical scroll area for its body: frameless, resizing its widget, transparent,
    // with a slim flat scroll bar, and no Tab stop.
    static QScrollArea* makeScrollArea(QWidget* parent);

protected:
    void setBody(QWidget* body);
    // Tab takes the body's controls in this order, then the body itself while it overflows,
    // then "上一步" and "下一步".
    void chainTabs(QList<QWidget*> bodyControls);
    // Enables "下一步"; while it is disabled, the focus it had waits on the screen and then
    // comes back to it.
    void setNextEnabled(bool enabled);
    QScrollArea* scrollArea() const { return m_scroll; }
    // A small spinner in place of the "下一步" label, for work started by that button.
    void setNextBusy(bool busy);

private:
    QWidget* buildHeader(const Frame& frame);
    QWidget* buildNavigation(const Frame& frame);

    QScrollArea* m_scroll;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    BusyIndicator* m_nextBusy = nullptr;
    bool m_focusWaitsForNext = false;
};
