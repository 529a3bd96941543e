#pragma once

#include <QString>

// Runs the current test case again in a child process of this binary, inside a desktop session
// of its own, and checks that it passed there; in the child, isChild() is true.
namespace ChildSession {

enum class Kind {
    noSessionBus,
    emptySessionBus,
};

bool isChild();
// The child's merged output.
QString rerun(Kind kind);

} // namespace ChildSession
