#include "shell/BackgroundJobs.h"

#include <QDeadlineTimer>
#include <QThread>
#include <QThreadPool>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

constexpr int minimumThreads = 4;

struct DedicatedCount {
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
};

DedicatedCount& dedicated() {
    static DedicatedCount count;
    return count;
}

} // namespace

QThreadPool& BackgroundJobs::pool() {
    static QThreadPool* const instance = [] {
        auto* created = new QThreadPool;
        created->setMaxThreadCount(qMax(minimumThreads, QThread::idealThreadCount()));
        created->setObjectName(QStringLiteral("nimbrel-background"));
        return created;
    }();
    return *instance;
}

void BackgroundJobs::start(std::function<void()> job) {
    pool().start(std::move(job));
}

void BackgroundJobs::startDedicated(std::function<void()> job) {
    DedicatedCount& count = dedicated();
    {
        const std::lock_guard lock(count.mutex);
        ++count.running;
    }
    // Detached: nothing joins it, and it holds no Qt object that would need an event loop to go.
    std::thread([job = std::move(job), &count] {
        job();
        const std::lock_guard lock(count.mutex);
        --count.running;
        count.changed.notify_all();
    }).detach();
}

bool BackgroundJobs::waitForDone(std::chrono::milliseconds limit) {
    const QDeadlineTimer deadline(limit);
    if (!pool().waitForDone(static_cast<int>(qMax<qint64>(0, deadline.remainingTime())))) {
        return false;
    }
    DedicatedCount& count = dedicated();
    std::unique_lock lock(count.mutex);
    const std::chrono::milliseconds left(qMax<qint64>(0, deadline.remainingTime()));
    return count.changed.wait_for(lock, left, [&count] { return count.running == 0; });
}
