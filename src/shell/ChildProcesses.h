#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>

// Every child Nimbrel started and has not reaped yet, each the leader of a process group of its
// own. A child does not end with its parent: without this the installation script, helm or a
// hanging kubectl would go on alone after Nimbrel has quit.
class ChildProcesses {
public:
    ChildProcesses() = delete;

    // A child was started. Once terminateAll has begun, its group is killed at once instead.
    static void add(pid_t group);
    // The child was reaped.
    static void remove(pid_t group);
    // How many children are running now.
    static int count();

    // For quitting: takes no new children, sends SIGTERM to every group, waits up to `grace` for
    // the children to be reaped, then sends SIGKILL to every group it signalled (a reaped leader
    // may have left members behind). `announce` gets the number of groups before the wait.
    // Gives that number.
    static int terminateAll(std::chrono::milliseconds grace,
                            const std::function<void(int)>& announce = {});
};
