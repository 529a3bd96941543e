#include "services/SecretStoreJobs.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QLibrary>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>

#include <qt6keychain/keychain.h>

#include <atomic>
#include <memory>

namespace {

struct JobOutcome {
    // Set last, by the job's thread; the result is complete once it reads true.
    std::atomic<bool> finished = false;
    ServicesPlugin::SecretOutcome result;
};

// QtKeychain queues its jobs through one process-wide executor that is not thread-safe and
// binds to the thread it was first used on. Running every job on one thread of our own keeps
// that executor and libsecret's callbacks on a thread whose event loop always runs, whichever
// thread the caller is on.
QMutex jobThreadMutex;
QThread* jobThread = nullptr;

void stopJobThread() {
    const QMutexLocker lock(&jobThreadMutex);
    if (jobThread != nullptr) {
        jobThread->quit();
        jobThread->wait();
        delete jobThread;
        jobThread = nullptr;
    }
}

QThread* ensureJobThread() {
    const QMutexLocker lock(&jobThreadMutex);
    if (jobThread == nullptr) {
        jobThread = new QThread;
        jobThread->setObjectName(QStringLiteral("keychain"));
        jobThread->start();
        // The thread must be gone before the application object, or its destructor aborts.
        qAddPostRoutine(stopJobThread);
    }
    return jobThread;
}

// libsecret keeps one connection to the Secret Service for the whole process, with a session the
// service opened for it. Once the service has stopped, that session is gone for good: every
// later job failed ("The session wrapping the secret does not exist") even after the keyring was
// back. A job after a failure therefore starts on a fresh connection.
std::atomic<bool> connectionSuspect = false;

void dropSecretServiceConnection() {
    using Disconnect = void (*)();
    // The library QtKeychain loads itself; resolving loads nothing new.
    static const auto disconnect = reinterpret_cast<Disconnect>(
        QLibrary::resolve(QStringLiteral("secret-1"), 0, "secret_service_disconnect"));
    if (disconnect != nullptr) {
        disconnect();
    }
}

// Runs the job to its end and returns what it reported. Never returns while the job can still
// touch caller-owned memory: the outcome is shared, and the job deletes itself when done.
ServicesPlugin::SecretOutcome runJob(QKeychain::Job* job) {
    if (QCoreApplication::instance() == nullptr) {
        delete job;
        return {QKeychain::OtherError, {}, {}};
    }
    auto outcome = std::make_shared<JobOutcome>();

    job->setAutoDelete(true);
    QObject::connect(
        job, &QKeychain::Job::finished, job,
        [outcome](QKeychain::Job* done) {
            outcome->result.error = done->error();
            if (done->error() != QKeychain::NoError && done->error() != QKeychain::EntryNotFound) {
                connectionSuspect.store(true);
            }
            outcome->result.errorText = done->errorString();
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done)) {
                outcome->result.data = read->binaryData();
            }
            outcome->finished.store(true, std::memory_order_release);
        },
        Qt::DirectConnection);

    QEventLoop loop;
    // Queued after the outcome is filled in; dropped by Qt if the loop is gone by then.
    QObject::connect(job, &QKeychain::Job::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    job->moveToThread(ensureJobThread());
    // On the job thread, where libsecret's calls run.
    QMetaObject::invokeMethod(
        job,
        [job] {
            if (connectionSuspect.exchange(false)) {
                dropSecretServiceConnection();
            }
            job->start();
        },
        Qt::QueuedConnection);
    loop.exec();

    // The loop also ends when the application quits; the job then finishes on its own.
    if (!outcome->finished.load(std::memory_order_acquire)) {
        return {QKeychain::OtherError, {}, {}};
    }
    return outcome->result;
}

} // namespace

ServicesPlugin::SecretOutcome SecretStoreJobs::run(const ServicesPlugin::SecretRequest& request) {
    QKeychain::Job* job = nullptr;
    switch (request.operation) {
    case ServicesPlugin::SecretOperation::write: {
        auto* write = new QKeychain::WritePasswordJob(request.service);
        write->setTextData(request.value);
        job = write;
        break;
    }
    case ServicesPlugin::SecretOperation::read:
        job = new QKeychain::ReadPasswordJob(request.service);
        break;
    case ServicesPlugin::SecretOperation::remove:
        job = new QKeychain::DeletePasswordJob(request.service);
        break;
    }
    job->setKey(request.key);
    return runJob(job);
}
