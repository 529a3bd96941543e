#pragma once

#include "session/InstallationState.h"

#include <QLabel>
#include <QString>
#include <QTest>
#include <QWidget>

#include <functional>

// Helpers of the screen and controller tests: waiting on the event loop, finding a screen's
// named parts, and reading the session log.
namespace screen_test {

// Generous: stand-in tools are shell scripts on a shared machine.
constexpr int waitMs = 20000;

inline bool eventually(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, waitMs);
}

// A screen fixture's access to the named parts of the screen under test.
class Parts {
protected:
    virtual ~Parts() = default;
    virtual const QWidget* screen() const = 0;

    template <typename T = QWidget> T* child(const char* name) const {
        return screen()->findChild<T*>(QString::fromLatin1(name));
    }
    bool shown(const char* name) const { return child(name)->isVisibleTo(screen()); }
    QString text(const char* name) const { return child<QLabel>(name)->text(); }
    void click(const char* name) const { QTest::mouseClick(child(name), Qt::LeftButton); }
};

// The line is in the session log as a whole line.
inline bool logged(const InstallationState& state, const QString& line) {
    return state.logs().contains(QStringLiteral("] ") + line + QLatin1Char('\n'));
}

// Every line posted to the log before this call has landed once it returns.
inline bool settleLog(InstallationState& state) {
    static int marker = 0;
    const QString line = QStringLiteral("-- settle %1 --").arg(++marker);
    state.appendLog(line);
    return eventually([&] { return logged(state, line); });
}

} // namespace screen_test
