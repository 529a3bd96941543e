#pragma once

#include "views/common/Buttons.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class BusyIndicator;
class QLabel;
class QPushButton;
class QScrollArea;

// The frame of every wizard screen, top to bottom at 30 px padding and 24 px apart: the title
// (20 px, medium) over the subtitle (13 px, secondary colour), the screen's own body in a
// vertical scroll area that takes the free height, and the 36 px navigation row with "上一步"
// on the left (when asked for), a note in its place (when asked for) and the way on on the right.
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
        // The background of the way on while it cannot be pressed.
        QColor nextDisabledFill = Buttons::dimmedFill();
        // The way on's label: "完成" on the last screen.
        QString nextText = WizardScreenView::tr("下一步");
    };

    WizardScreenView(const Frame& frame, QWidget* parent);

    // Null when the screen has no way back.
    QPushButton* backButton() const { return m_backButton; }
    QPushButton* nextButton() const { return m_nextButton; }

protected:
    // Takes a body that has no parent yet; Tab reaches its controls before the navigation row.
    void setBody(QWidget* body);
    // Tab takes the body's controls in this order, then the body itself while it overflows,
    // then "上一步" and the way on.
    void chainTabs(QList<QWidget*> bodyControls);
    // Enables the way on; while it is disabled, the focus it had waits on the busy holder (else on
    // the screen) and then comes back to it.
    void setNextEnabled(bool enabled);
    // Where the focus waits while the way on is disabled: a status line that names the running
    // work. A reader speaks the name changes of the focused object only, so each new status is
    // heard. Used while it is shown.
    void setBusyFocusHolder(QWidget* holder);
    QScrollArea* scrollArea() const { return m_scroll; }
    // A small spinner in place of the way on's label, for work started by that button.
    void setNextBusy(bool busy);

    // For screens whose header follows their state.
    void setTitle(const QString& title);
    void setSubtitle(const QString& subtitle, const QColor& colour);
    QLabel* subtitleLabel() const { return m_subtitle; }
    // A short note (11 px, secondary colour) at the left end of the navigation row, where the
    // way back would be.
    QLabel* addNavigationNote(const QString& text);

private:
    // The body's vertical scroll area: frameless, resizing its widget, transparent, with a slim
    // flat scroll bar, and no Tab stop.
    static QScrollArea* makeScrollArea(QWidget* parent);
    QWidget* buildHeader(const Frame& frame);
    QWidget* buildNavigation(const Frame& frame);

    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
    QScrollArea* m_scroll;
    QWidget* m_navigation = nullptr;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QString m_nextText;
    BusyIndicator* m_nextBusy = nullptr;
    bool m_focusWaitsForNext = false;
    QWidget* m_busyFocusHolder = nullptr;
};
