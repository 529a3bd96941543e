#pragma once

#include <chrono>
#include <functional>

class QThreadPool;

// Where Nimbrel's blocking work runs. Never Qt's global pool: the raster painter splits large
// fills over that pool and waits for them, so a job stuck in kubectl there would freeze the window
// on a machine whose global pool has a single thread.
class BackgroundJobs {
public:
    BackgroundJobs() = delete;

    // Nimbrel's own pool, at least four threads whatever the processor count.
    static QThreadPool& pool();
    // A job that waits on a child process for seconds or minutes.
    static void start(std::function<void()> job);
    // A job that may outlive every time limit (the installation script): a thread of its own, so
    // that it never holds a pool thread other work is waiting for.
    static void startDedicated(std::function<void()> job);
    // Waits for the pool and the dedicated threads; false when the time ran out first.
    static bool waitForDone(std::chrono::milliseconds limit = std::chrono::seconds(30));
};
