#pragma once

#include "session/InstallationState.h"

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

template <typename T> T* child(const QWidget& root, const char* name) {
    return root.findChild<T*>(QString::fromLatin1(name));
}

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
