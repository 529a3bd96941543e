// Measures the command runner and the session log against bare baselines taken in the same run.
#include "session/InstallationState.h"
#include "shell/ShellUtils.h"
#include "support/MedianTime.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ; // NOLINT(readability-redundant-declaration)

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Keeps every byte read from `fd`: large reads into one chunk that stays in the cache, appended to
// a string whose capacity doubles, so no byte is zeroed first. Reading straight into fresh memory
// measured slower, as the kernel then faults in each page while it copies.
size_t readAll(int fd) {
    constexpr size_t chunkSize = size_t{1024} * 1024;
    const std::unique_ptr<char[]> chunk(new char[chunkSize]);
    std::string kept;
    for (;;) {
        const ssize_t got = ::read(fd, chunk.get(), chunkSize);
        if (got > 0) {
            const auto size = static_cast<size_t>(got);
            if (kept.capacity() - kept.size() < size) {
                kept.reserve(std::max(kept.capacity() * 2, kept.size() + size));
            }
            kept.append(chunk.get(), size);
        } else if (got == 0 || errno != EINTR) {
            return kept.size();
        }
    }
}

// The baseline: posix_spawn of the same shell line, optionally reading its standard output through
// one pipe widened like the runner's into a fresh buffer (a reader that hands bytes back cannot
// reuse one buffer across calls).
double bareSpawn(const char* line, bool readOutput, size_t* bytesRead = nullptr) {
    const Clock::time_point start = Clock::now();
    int fds[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (readOutput) {
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            std::perror("pipe2");
            return 0;
        }
        ::fcntl(fds[1], F_SETPIPE_SZ, 1024 * 1024);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    }
    char shell[] = "/bin/zsh";
    char dashC[] = "-c";
    std::vector<char> command(line, line + std::char_traits<char>::length(line) + 1);
    char* argv[] = {shell, dashC, command.data(), nullptr};
    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, shell, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (readOutput) {
        ::close(fds[1]);
        const size_t used = readAll(fds[0]);
        if (bytesRead != nullptr) {
            *bytesRead = used;
        }
        ::close(fds[0]);
    }
    if (error == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    return secondsSince(start);
}

void spawnCost() {
    constexpr int rounds = 200;
    std::vector<double> runner;
    std::vector<double> bare;
    for (int i = 0; i < rounds; ++i) {
        // Interleaved, so that drifting machine load hits both alike.
        Clock::time_point start = Clock::now();
        ShellUtils::runCommand(QStringLiteral("true"));
        runner.push_back(secondsSince(start));
        bare.push_back(bareSpawn("true", false));
    }
    const double ours = median(runner) * 1e3;
    const double baseline = median(bare) * 1e3;
    std::printf("runCommand(\"true\"): %.3f ms per call; bare posix_spawn of /bin/zsh -c true: "
                "%.3f ms; ratio %.2f (goal <= 1.20)\n",
                ours, baseline, ours / baseline);
}

void largeOutput() {
    constexpr int rounds = 7;
    const char* line = "head -c 67108864 /dev/zero";
    std::vector<double> runner;
    std::vector<double> bare;
    for (int i = 0; i < rounds; ++i) {
        Clock::time_point start = Clock::now();
        const CommandResult result = ShellUtils::runCommand(QString::fromLatin1(line));
        runner.push_back(secondsSince(start));
        if (result.output.size() != 67108864) {
            std::printf("runCommand returned %lld characters instead of 67108864\n",
                        static_cast<long long>(result.output.size()));
        }
        size_t bareBytes = 0;
        bare.push_back(bareSpawn(line, true, &bareBytes));
        if (bareBytes != 67108864) {
            std::printf("the bare reader kept %zu bytes instead of 67108864\n", bareBytes);
        }
    }
    const double mib = 64.0;
    const double ours = mib / median(runner);
    const double baseline = mib / median(bare);
    std::printf("64 MiB of output: runCommand %.0f MiB/s; bare reader %.0f "
                "MiB/s; throughput ratio %.2f (goal >= 0.80)\n",
                ours, baseline, ours / baseline);
}

double appendLines(int lines) {
    InstallationState state;
    QCoreApplication::sendPostedEvents();
    int stored = 0;
    QObject::connect(&state, &InstallationState::logsChanged, [&stored] { ++stored; });
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < lines; ++i) {
        state.appendLog(QStringLiteral("执行命令: kubectl get pods -n devtroncd (%1)").arg(i));
    }
    while (stored < lines) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    return secondsSince(start);
}

void sessionLog() {
    QTemporaryDir stateHome;
    qputenv("XDG_STATE_HOME", QFile::encodeName(stateHome.path()));
    const double small = appendLines(10'000);
    const double large = appendLines(100'000);
    const double perLineSmall = small / 10'000 * 1e6;
    const double perLineLarge = large / 100'000 * 1e6;
    std::printf("appendLog: 10 000 lines %.3f s (%.1f us/line); 100 000 lines %.3f s (%.1f "
                "us/line); per-line ratio %.2f (goal: linear, about 1.0)\n",
                small, perLineSmall, large, perLineLarge, perLineLarge / perLineSmall);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    spawnCost();
    largeOutput();
    sessionLog();
    return 0;
}
