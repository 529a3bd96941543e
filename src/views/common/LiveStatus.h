#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QString>

#include <chrono>
#include <optional>

// A status line that a screen reader speaks without the focus moving to it: a label in the status
// role whose accessible name is the last status spoken, each new one sent as a name change. Every
// screen shows its changing states (a test running, a clock, an outcome, a copy) through it.
class LiveStatus : public QLabel {
    Q_OBJECT

public:
    // A clock is spoken at most this often: a reading a second would drown everything else.
    static constexpr std::chrono::seconds clockGap{10};

    LiveStatus(const QFont& font, const QColor& colour, QWidget* parent);

    // Shows `text` and has it spoken, also when it repeats the last one (a second copy).
    void announce(const QString& text);
    // A clock's new reading: shown at once, spoken when it lies clockGap or more from the last
    // reading spoken (the first one is always spoken).
    void tick(const QString& text, std::chrono::seconds reading);

private:
    std::optional<std::chrono::seconds> m_spokenReading;
};
