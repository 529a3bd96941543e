#pragma once

#include <QPointer>
#include <QWidget>

// The keyboard focus mark: a rounded ring in the palette's focus colour, just outside the edge of
// the widget that has the focus, over every kind of control alike (buttons, the switch, the icon
// buttons, the log viewer's fields) without touching their style sheets or sizes. As in a browser,
// it shows only while the keyboard is in use: a key press brings it, a mouse press takes it away.
class FocusRing : public QWidget {
    Q_OBJECT

public:
    // How far the ring reaches past the widget's edge: a 2 px gap, so that it never touches a
    // control whose text or drawing fills it to the edge, then the 2 px ring.
    static constexpr int outset = 4;

    // Starts one ring that follows the focus through the whole application; later calls do nothing.
    static void followKeyboardFocus();

    // A ring around `target`, placed on the nearest ancestor with room for it.
    explicit FocusRing(QWidget* target);

    QWidget* target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    QPointer<QWidget> m_target;
};
