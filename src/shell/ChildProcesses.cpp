#include "shell/ChildProcesses.h"

#include <algorithm>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <set>
#include <vector>

namespace {

struct Registry {
    std::mutex mutex;
    std::condition_variable reaped;
    std::set<pid_t> groups;
    bool closed = false;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

} // namespace

void ChildProcesses::add(pid_t group) {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.groups.insert(group);
    if (r.closed) {
        ::kill(-group, SIGKILL);
    }
}

void ChildProcesses::remove(pid_t group) {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    r.groups.erase(group);
    r.reaped.notify_all();
}

int ChildProcesses::count() {
    Registry& r = registry();
    const std::lock_guard lock(r.mutex);
    return static_cast<int>(r.groups.size());
}

int ChildProcesses::terminateAll(std::chrono::milliseconds grace,
                                 const std::function<void(int)>& announce) {
    Registry& r = registry();
    std::vector<pid_t> signalled;
    {
        const std::lock_guard lock(r.mutex);
        r.closed = true;
        signalled.assign(r.groups.cbegin(), r.groups.cend());
    }
    for (const pid_t group : signalled) {
        ::kill(-group, SIGTERM);
    }
    const int total = static_cast<int>(signalled.size());
    if (announce) {
        announce(total);
    }
    // Done once every child is reaped and its group has no member left either.
    const auto lingering = [&r, &signalled] {
        return !r.groups.empty() || std::any_of(signalled.cbegin(), signalled.cend(),
                                                [](pid_t g) { return ::kill(-g, 0) == 0; });
    };
    const auto deadline = std::chrono::steady_clock::now() + grace;
    std::unique_lock lock(r.mutex);
    while (lingering() && std::chrono::steady_clock::now() < deadline) {
        r.reaped.wait_for(lock, std::chrono::milliseconds(50));
    }
    // A group id is not given out again while a member lives; an emptied one only once the pid
    // numbers have wrapped round, so this reaches our own stragglers and nothing else.
    for (const pid_t group : signalled) {
        ::kill(-group, SIGKILL);
    }
    return total;
}
