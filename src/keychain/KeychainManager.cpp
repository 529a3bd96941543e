#include "keychain/KeychainManager.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QThread>

#include <qt6keychain/keychain.h>

#include <atomic>
#include <memory>

namespace {

struct JobOutcome {
    // Set last, by the job's thread; everything else is complete once it reads true.
    std::atomic<bool> finished = false;
    QKeychain::Error error = QKeychain::NoError;
    QString errorText;
    QByteArray data;
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

// Runs the job to its end and returns what it reported. Never returns while the job can still
// touch caller-owned memory: the outcome is shared, and the job deletes itself when done.
std::shared_ptr<const JobOutcome> runJob(QKeychain::Job* job) {
    auto outcome = std::make_shared<JobOutcome>();
    if (QCoreApplication::instance() == nullptr) {
        delete job;
        outcome->error = QKeychain::OtherError;
        return outcome;
    }

    job->setAutoDelete(true);
    QObject::connect(
        job, &QKeychain::Job::finished, job,
        [outcome](QKeychain::Job* done) {
            outcome->error = done->error();
            outcome->errorText = done->errorString();
            if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(done)) {
                outcome->data = read->binaryData();
            }
            outcome->finished.store(true, std::memory_order_release);
        },
        Qt::DirectConnection);

    QEventLoop loop;
    // Queued after the outcome is filled in; dropped by Qt if the loop is gone by then.
    QObject::connect(job, &QKeychain::Job::finished, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    job->moveToThread(ensureJobThread());
    QMetaObject::invokeMethod(job, &QKeychain::Job::start, Qt::QueuedConnection);
    loop.exec();

    // The loop also ends when the application quits; the job then finishes on its own.
    if (!outcome->finished.load(std::memory_order_acquire)) {
        auto unfinished = std::make_shared<JobOutcome>();
        unfinished->error = QKeychain::OtherError;
        return unfinished;
    }
    return outcome;
}

} // namespace

KeychainManager::KeychainManager(QString service) : m_serviceName(std::move(service)) {}

KeychainManager& KeychainManager::shared() {
    static KeychainManager instance;
    return instance;
}

void KeychainManager::set(const QString& value, const QString& key) const {
    // Stateless: a lone surrogate at the very end is an error too, not held back for more input.
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const QByteArray bytes = encoder(value);
    // The Secret Service backend keeps the value as a C string: a NUL would cut it short.
    if (encoder.hasError() || bytes.contains('\0')) {
        throw KeychainError::encodingFailed();
    }

    auto* job = new QKeychain::WritePasswordJob(m_serviceName);
    job->setKey(key);
    job->setTextData(value);
    const auto outcome = runJob(job);
    if (outcome->error != QKeychain::NoError) {
        throw KeychainError::addFailed(outcome->error, outcome->errorText);
    }
}

std::optional<QString> KeychainManager::get(const QString& key) const {
    auto* job = new QKeychain::ReadPasswordJob(m_serviceName);
    job->setKey(key);
    const auto outcome = runJob(job);
    if (outcome->error == QKeychain::EntryNotFound) {
        return std::nullopt;
    }
    if (outcome->error != QKeychain::NoError) {
        throw KeychainError::getFailed(outcome->error, outcome->errorText);
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(outcome->data);
    if (decoder.hasError()) {
        throw KeychainError::decodingFailed();
    }
    return text;
}

void KeychainManager::deleteItem(const QString& key) const {
    auto* job = new QKeychain::DeletePasswordJob(m_serviceName);
    job->setKey(key);
    const auto outcome = runJob(job);
    if (outcome->error != QKeychain::NoError && outcome->error != QKeychain::EntryNotFound) {
        throw KeychainError::deleteFailed(outcome->error, outcome->errorText);
    }
}
