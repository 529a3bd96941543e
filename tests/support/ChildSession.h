#pragma once

#include <QString>

// Runs the current test case again in a child process of this binary, inside a desktop session
// of its own, and checks that it passed there. In the child, isChild() is true and the case does
// its real work.
namespace ChildSession {

enum class Kind {
    // No session bus at all: neither a Secret Service nor a notification service.
    noSessionBus,
    // A private session bus with nothing on it.
    emptySessionBus,
    // A private session bus with a real notification daemon on a virtual display.
    notificationDaemon,
    // A private session bus with an unlocked GNOME Keyring of its own, which a case may lock.
    privateKeyring,
    // Under a pseudo-terminal that is the child's controlling terminal, as when started from one.
    terminal,
};

bool isChild();
// Returns the child's merged output for further checks.
QString rerun(Kind kind);

} // namespace ChildSession
