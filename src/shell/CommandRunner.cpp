#include "shell/CommandRunner.h"

#include "shell/BackgroundJobs.h"
#include "shell/ChildProcesses.h"
#include "shell/Console.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ; // NOLINT(readability-redundant-declaration)

namespace {

QMutex& shellMutex() {
    static QMutex mutex;
    return mutex;
}

QString& shellPathStorage() {
    static QString path = QStringLiteral("/bin/zsh");
    return path;
}

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return m_fd; }
    void reset(int fd = -1) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

private:
    int m_fd = -1;
};

struct Pipe {
    FileDescriptor readEnd;
    FileDescriptor writeEnd;

    // Close-on-exec so that concurrent spawns never inherit each other's pipes.
    int open() {
        int fds[2] = {-1, -1};
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            return errno;
        }
        readEnd.reset(fds[0]);
        writeEnd.reset(fds[1]);
        // A larger pipe means fewer wake-ups for a child that writes a lot; best effort.
        ::fcntl(fds[1], F_SETPIPE_SZ, 1024 * 1024);
        // Only our end is non-blocking; the child's end keeps ordinary blocking writes.
        const int flags = ::fcntl(fds[0], F_GETFL);
        ::fcntl(fds[0], F_SETFL, flags | O_NONBLOCK);
        return 0;
    }
};

enum class DrainResult { WouldBlock, EndOfStream };

// How many bytes at the end start a UTF-8 sequence that the next read will complete.
qsizetype incompleteTail(const char* data, qsizetype size) {
    for (qsizetype back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(data[size - back]);
        if ((byte & 0xC0U) == 0x80U) {
            continue;
        }
        const qsizetype length = byte >= 0xF0U ? 4 : byte >= 0xE0U ? 3 : byte >= 0xC0U ? 2 : 1;
        return length > back ? back : 0;
    }
    return 0;
}

// One output stream of the child, turned into text as it is read: no second copy of the raw
// bytes is kept, which matters for outputs of hundreds of megabytes. Any invalid UTF-8 makes the
// whole stream empty text.
class StreamReader {
public:
    explicit StreamReader(int fd) : m_fd(fd) {}

    DrainResult drain() {
        if (m_buffer.isEmpty()) {
            m_buffer.resize(readChunk + 4);
        }
        for (;;) {
            const ssize_t got = ::read(m_fd, m_buffer.data() + m_carried, readChunk);
            if (got > 0) {
                consume(m_carried + got);
                continue;
            }
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return DrainResult::WouldBlock;
            }
            return DrainResult::EndOfStream;
        }
    }

    QString text() {
        // A sequence still incomplete at the end is invalid; the stateless decoder says so.
        decode(m_buffer.constData(), m_carried);
        m_carried = 0;
        return m_invalid ? QString() : std::move(m_text);
    }

private:
    static constexpr qsizetype readChunk = qsizetype{1024} * 1024;

    void consume(qsizetype available) {
        const qsizetype tail = incompleteTail(m_buffer.constData(), available);
        decode(m_buffer.constData(), available - tail);
        std::memmove(m_buffer.data(), m_buffer.constData() + available - tail,
                     static_cast<size_t>(tail));
        m_carried = tail;
    }

    void decode(const char* bytes, qsizetype size) {
        if (m_invalid || size == 0) {
            return;
        }
        // Each byte gives at most one UTF-16 unit.
        const qsizetype used = m_text.size();
        m_text.resize(used + size);
        const QChar* end =
            m_decoder.appendToBuffer(m_text.data() + used, QByteArrayView(bytes, size));
        m_text.resize(end - m_text.constData());
        if (m_decoder.hasError()) {
            m_invalid = true;
            m_text = QString();
        }
    }

    int m_fd;
    QByteArray m_buffer;
    qsizetype m_carried = 0;
    QString m_text;
    // Stateless, so every piece must be whole sequences (see incompleteTail); the initial-BOM
    // flag keeps a byte-order mark as text instead of dropping it at each piece.
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                       QStringDecoder::Flag::ConvertInitialBom};
    bool m_invalid = false;
};

// The child's environment as "NAME=value" byte strings: the process environment with the overlay
// laid over it.
std::vector<QByteArray> mergedEnvironment(const EnvironmentOverlay& overlay) {
    std::vector<QByteArray> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        entries.emplace_back(*entry);
    }
    for (auto it = overlay.cbegin(); it != overlay.cend(); ++it) {
        const QByteArray name = it.key().toUtf8();
        if (name.isEmpty() || name.contains('=') || name.contains('\0')) {
            writeConsoleLine(
                QCoreApplication::translate("CommandRunner", "忽略无效的环境变量名: %1")
                    .arg(it.key()));
            continue;
        }
        const QByteArray assignment = name + '=' + it.value().toUtf8();
        const QByteArray prefix = name + '=';
        auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const QByteArray& e) { return e.startsWith(prefix); });
        if (found != entries.end()) {
            *found = assignment;
        } else {
            entries.push_back(assignment);
        }
    }
    return entries;
}

CommandResult startFailure(const QString& shell, int error) {
    return {QString(),
            QStringLiteral("Failed to execute command: ") + shell + QStringLiteral(": ") +
                qt_error_string(error),
            1};
}

int terminationStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return 1;
}

// Exit status reported for a command ended by its time limit, as timeout(1) does.
constexpr int timedOutStatus = 124;

// `timeoutMs` < 0: no limit. The child leads a process group of its own, so that everything it
// started can be ended together, by the time limit or when Nimbrel quits.
CommandResult execute(const QString& command, const EnvironmentOverlay* overlay,
                      qint64 timeoutMs = -1) {
    const QString shell = CommandRunner::shellPath();
    QByteArray shellBytes = QFile::encodeName(shell);
    QByteArray line = command.toUtf8();
    char dashC[] = "-c";
    char* argv[] = {shellBytes.data(), dashC, line.data(), nullptr};

    std::vector<QByteArray> envStorage;
    std::vector<char*> envp;
    char** childEnvironment = environ;
    if (overlay != nullptr) {
        envStorage = mergedEnvironment(*overlay);
        envp.reserve(envStorage.size() + 1);
        for (QByteArray& entry : envStorage) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        childEnvironment = envp.data();
    }

    Pipe out;
    Pipe err;
    if (const int error = out.open(); error != 0) {
        return startFailure(shell, error);
    }
    if (const int error = err.open(); error != 0) {
        return startFailure(shell, error);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Nothing of ours is for the child to read. Started from a terminal, a child in a background
    // process group that reads that terminal (an exec credential plugin's prompt, pkexec's text
    // agent on /dev/tty) is stopped by SIGTTIN and would hang until its time limit. With /dev/null
    // and a session of its own, without a controlling terminal, it fails at once instead.
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out.writeEnd.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.writeEnd.get(), STDERR_FILENO);

    // The child starts with no blocked signals and a default SIGPIPE, whatever this process uses.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&attributes, &signalSet);
    sigaddset(&signalSet, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &signalSet);
    // The new session's process group is the child's own, as the group ending relies on.
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);

    pid_t pid = -1;
    const int spawnError =
        ::posix_spawn(&pid, shellBytes.constData(), &actions, &attributes, argv, childEnvironment);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    out.writeEnd.reset();
    err.writeEnd.reset();
    if (spawnError != 0) {
        return startFailure(shell, spawnError);
    }
    ChildProcesses::add(pid);

    // The pidfd lets us stop once the child itself has ended, even when a background grandchild
    // still holds the pipes open. (glibc's own pidfd_open wrapper lacks C linkage in C++.)
    FileDescriptor exitWatch(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));

    StreamReader outReader(out.readEnd.get());
    StreamReader errReader(err.readEnd.get());
    bool outOpen = true;
    bool errOpen = true;
    bool timedOut = false;
    QDeadlineTimer deadline =
        timeoutMs >= 0 ? QDeadlineTimer(timeoutMs) : QDeadlineTimer(QDeadlineTimer::Forever);
    // Until the child itself has ended: one that closed both streams still runs (and may still
    // outlive its limit).
    while (outOpen || errOpen || exitWatch.get() >= 0) {
        pollfd fds[3] = {};
        nfds_t count = 0;
        int outIndex = -1;
        int errIndex = -1;
        int exitIndex = -1;
        if (outOpen) {
            outIndex = static_cast<int>(count);
            fds[count++] = {out.readEnd.get(), POLLIN, 0};
        }
        if (errOpen) {
            errIndex = static_cast<int>(count);
            fds[count++] = {err.readEnd.get(), POLLIN, 0};
        }
        if (exitWatch.get() >= 0) {
            exitIndex = static_cast<int>(count);
            fds[count++] = {exitWatch.get(), POLLIN, 0};
        }
        const qint64 remaining = deadline.remainingTime();
        const int ready = ::poll(
            fds, count, remaining < 0 ? -1 : static_cast<int>(qMin<qint64>(remaining, 60000)));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        // Checked whatever poll said, so that a child that keeps writing cannot outrun its limit;
        // one that has just ended keeps its own result.
        const bool ended = exitIndex >= 0 && fds[exitIndex].revents != 0;
        if (deadline.hasExpired() && !ended) {
            ::kill(-pid, SIGKILL);
            timedOut = true;
            break;
        }
        if (outIndex >= 0 && fds[outIndex].revents != 0) {
            outOpen = outReader.drain() == DrainResult::WouldBlock;
        }
        if (errIndex >= 0 && fds[errIndex].revents != 0) {
            errOpen = errReader.drain() == DrainResult::WouldBlock;
        }
        if (ended) {
            // Everything the child wrote before ending is already in the pipes.
            if (outOpen) {
                outReader.drain();
            }
            if (errOpen) {
                errReader.drain();
            }
            break;
        }
    }

    int status = 0;
    pid_t waited = -1;
    do {
        waited = ::waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    ChildProcesses::remove(pid);
    // With the status lost (someone reaped the child first), success cannot be claimed.
    const int exitCode = waited == pid ? terminationStatus(status) : 1;
    if (timedOut) {
        QString error = errReader.text();
        if (!error.isEmpty() && !error.endsWith(QLatin1Char('\n'))) {
            error += QLatin1Char('\n');
        }
        error += QCoreApplication::translate("CommandRunner", "命令超时：%1 秒后仍未结束，已终止")
                     .arg(timeoutMs / 1000);
        return {outReader.text(), error, timedOutStatus};
    }
    return {outReader.text(), errReader.text(), exitCode};
}

} // namespace

QString CommandRunner::shellPath() {
    const QMutexLocker lock(&shellMutex());
    return shellPathStorage();
}

void CommandRunner::setShellPath(const QString& path) {
    const QMutexLocker lock(&shellMutex());
    shellPathStorage() = path;
}

CommandResult CommandRunner::run(const QString& command) {
    return execute(command, nullptr);
}

CommandResult CommandRunner::runWithEnv(const QString& command,
                                        const EnvironmentOverlay& environment) {
    return execute(command, &environment);
}

CommandResult CommandRunner::runWithEnv(const QString& command,
                                        const EnvironmentOverlay& environment,
                                        std::chrono::milliseconds timeout) {
    return execute(command, &environment, qMax<qint64>(0, timeout.count()));
}

void CommandRunner::runAsync(const QString& command, CommandCompletion completion) {
    BackgroundJobs::startDedicated([command, completion = std::move(completion)] {
        const CommandResult result = run(command);
        if (completion) {
            completion(result.output, result.error, result.exitCode);
        }
    });
}

void CommandRunner::runAsyncWithEnv(const QString& command, const EnvironmentOverlay& environment,
                                    CommandCompletion completion) {
    BackgroundJobs::startDedicated([command, environment, completion = std::move(completion)] {
        const CommandResult result = runWithEnv(command, environment);
        if (completion) {
            completion(result.output, result.error, result.exitCode);
        }
    });
}
