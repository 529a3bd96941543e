#include "app/QuitSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <iterator>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int handledSignals[] = {SIGTERM, SIGINT, SIGHUP};
// What each had before, given back by the destructor.
struct sigaction previousActions[std::size(handledSignals)];

// Lock-free, so the handler may read it.
std::atomic<int> writeEnd{-1};
int readEnd = -1;

extern "C" void onQuitSignal(int signalNumber) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // Non-blocking: with the pipe full, a pending byte already asks to quit.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd.load(), &byte, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    readEnd = fds[0];
    writeEnd = fds[1];
    m_notifier = new QSocketNotifier(readEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readPending);

    struct sigaction action = {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(handledSignals); ++i) {
        ::sigaction(handledSignals[i], nullptr, &previousActions[i]);
        // An ignored one stays ignored: "nohup nimbrel" must outlive the terminal.
        if (previousActions[i].sa_handler != SIG_IGN) {
            ::sigaction(handledSignals[i], &action, nullptr);
        }
    }
}

QuitSignals::~QuitSignals() {
    if (m_notifier == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < std::size(handledSignals); ++i) {
        ::sigaction(handledSignals[i], &previousActions[i], nullptr);
    }
    delete m_notifier;
    ::close(writeEnd.exchange(-1));
    ::close(readEnd);
    readEnd = -1;
}

void QuitSignals::readPending() {
    unsigned char byte = 0;
    while (::read(readEnd, &byte, 1) == 1) {
        if (!m_received) {
            m_received = byte;
            emit quitRequested(byte);
        }
    }
}
