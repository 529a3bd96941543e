// Measures, from outside the process, the time from start to the first painted frame of Nimbrel's
// window and its resident memory once idle, against a bare Qt window measured in the same run.
// Without DISPLAY it starts its own Xvfb.
#include "support/MedianTime.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ; // NOLINT(readability-redundant-declaration)

namespace {

using Clock = std::chrono::steady_clock;

constexpr int defaultRounds = 15;
constexpr auto idleTime = std::chrono::seconds(2);
constexpr int firstFrameTimeoutMs = 30000;
const QByteArray firstFrameLine = "first frame\n";

struct Sample {
    double firstFrameMs = 0;
    double cpuMs = 0;
    double residentMiB = 0;
};

struct Program {
    const char* name;
    const char* path;
    std::vector<double> firstFrameMs;
    std::vector<double> cpuMs;
    std::vector<double> residentMiB;
};

// Each run gets fresh home and XDG folders, so that nothing touches the user's own files.
QByteArrayList sandboxEnvironment(const QTemporaryDir& sandbox, const QByteArray& display) {
    const QByteArray root = QFile::encodeName(sandbox.path());
    QByteArrayList set{"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "NIMBREL_REPORT_FIRST_FRAME=1"};
    for (const auto& [variable, folder] : {std::pair{"HOME", "home"},
                                           {"XDG_CONFIG_HOME", "config"},
                                           {"XDG_DATA_HOME", "data"},
                                           {"XDG_STATE_HOME", "state"},
                                           {"XDG_CACHE_HOME", "cache"},
                                           {"XDG_RUNTIME_DIR", "runtime"}}) {
        const QByteArray path = root + '/' + folder;
        QDir().mkpath(QFile::decodeName(path));
        ::chmod(path.constData(), 0700);
        set << QByteArray(variable) + '=' + path;
    }
    QByteArrayList environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const QByteArray variable(*entry);
        const QByteArray name = variable.left(variable.indexOf('=') + 1);
        if (std::none_of(set.begin(), set.end(),
                         [&](const QByteArray& ours) { return ours.startsWith(name); })) {
            environment.append(variable);
        }
    }
    return environment + set;
}

// Starts `argv` (searched on PATH when `searchPath`) with its descriptor `childFd` writing into a
// pipe and its standard error discarded; the pid and the pipe's reading end.
std::optional<std::pair<pid_t, int>> spawnWithPipe(char* const argv[], char* const envp[],
                                                   int childFd, bool searchPath) {
    int fds[2] = {-1, -1};
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], childFd);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int error = searchPath ? ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv, envp)
                                 : ::posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (error != 0) {
        ::close(fds[0]);
        return std::nullopt;
    }
    return std::pair{pid, fds[0]};
}

std::optional<double> residentMiB(pid_t pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            const QByteArray kib = line.mid(6).trimmed().split(' ').value(0);
            return kib.toDouble() / 1024.0;
        }
    }
    return std::nullopt;
}

// CPU time of all the process's threads so far: unlike wall time, hardly moved by other load.
double cpuMsOf(pid_t pid) {
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile schedstat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (schedstat.open(QIODevice::ReadOnly)) {
            total += schedstat.readAll().split(' ').value(0).toDouble() / 1e6;
        }
    }
    return total;
}

void stop(pid_t pid) {
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

bool readFirstFrameLine(int fd) {
    QByteArray seen;
    while (!seen.contains(firstFrameLine)) {
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, firstFrameTimeoutMs) <= 0) {
            return false;
        }
        char chunk[256];
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got <= 0) {
            return false;
        }
        seen.append(chunk, got);
    }
    return true;
}

std::optional<Sample> runOnce(const char* path, const QByteArray& display) {
    const QTemporaryDir sandbox;
    const QByteArrayList environment = sandboxEnvironment(sandbox, display);
    std::vector<char*> envp;
    for (const QByteArray& variable : environment) {
        envp.push_back(const_cast<char*>(variable.constData()));
    }
    envp.push_back(nullptr);
    QByteArray program(path);
    char* argv[] = {program.data(), nullptr};

    const Clock::time_point start = Clock::now();
    const auto spawned = spawnWithPipe(argv, envp.data(), STDOUT_FILENO, false);
    if (!spawned) {
        std::fprintf(stderr, "cannot start %s\n", path);
        return std::nullopt;
    }
    const auto [pid, output] = *spawned;
    const bool painted = readFirstFrameLine(output);
    const double firstFrameMs =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpuMs = cpuMsOf(pid);
    std::optional<double> resident;
    if (painted) {
        std::this_thread::sleep_for(idleTime);
        resident = residentMiB(pid);
    }
    stop(pid);
    ::close(output);
    if (!painted || !resident) {
        std::fprintf(stderr, "%s reported no first frame\n", path);
        return std::nullopt;
    }
    return Sample{firstFrameMs, cpuMs, *resident};
}

// Xvfb picks a free display itself and writes its number once it accepts clients.
std::optional<pid_t> startXvfb(QByteArray& display) {
    char xvfb[] = "Xvfb";
    char displayFd[] = "-displayfd";
    char three[] = "3";
    char screen[] = "-screen";
    char zero[] = "0";
    char geometry[] = "1024x600x24";
    char noTcp[] = "-nolisten";
    char tcp[] = "tcp";
    char* argv[] = {xvfb, displayFd, three, screen, zero, geometry, noTcp, tcp, nullptr};
    const auto spawned = spawnWithPipe(argv, environ, 3, true);
    if (!spawned) {
        return std::nullopt;
    }
    const auto [pid, numberPipe] = *spawned;
    QByteArray number;
    char c = 0;
    while (::read(numberPipe, &c, 1) == 1 && c != '\n') {
        number.append(c);
    }
    ::close(numberPipe);
    if (number.isEmpty()) {
        stop(pid);
        return std::nullopt;
    }
    display = ':' + number;
    return pid;
}

QByteArray loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readLine().trimmed() : QByteArray("?");
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : defaultRounds;
    QByteArray display = qgetenv("DISPLAY");
    std::optional<pid_t> xvfb;
    if (display.isEmpty()) {
        xvfb = startXvfb(display);
        if (!xvfb) {
            std::fprintf(stderr, "DISPLAY is unset and Xvfb could not be started\n");
            return 1;
        }
    }

    Program nimbrel{"Nimbrel", NIMBREL_PROGRAM, {}, {}, {}};
    Program bare{"bare Qt window", BARE_WINDOW_PROGRAM, {}, {}, {}};
    std::printf("display %s, %d rounds, load average before: %s\n", display.constData(), rounds,
                loadAverage().constData());
    std::fflush(stdout);
    // One unrecorded run each fills the page cache for both.
    bool ok = runOnce(nimbrel.path, display) && runOnce(bare.path, display);
    for (int round = 0; ok && round < rounds; ++round) {
        // Alternating, and swapping which goes first, so drifting load hits both alike.
        Program* order[2] = {&nimbrel, &bare};
        if (round % 2 == 1) {
            std::swap(order[0], order[1]);
        }
        for (Program* program : order) {
            const std::optional<Sample> sample = runOnce(program->path, display);
            if (!sample) {
                ok = false;
                break;
            }
            program->firstFrameMs.push_back(sample->firstFrameMs);
            program->cpuMs.push_back(sample->cpuMs);
            program->residentMiB.push_back(sample->residentMiB);
        }
    }
    if (xvfb) {
        stop(*xvfb);
    }
    if (!ok) {
        return 1;
    }

    const double oursMs = median(nimbrel.firstFrameMs);
    const double bareMs = median(bare.firstFrameMs);
    const double oursCpuMs = median(nimbrel.cpuMs);
    const double bareCpuMs = median(bare.cpuMs);
    const double oursMiB = median(nimbrel.residentMiB);
    const double bareMiB = median(bare.residentMiB);
    std::printf("start to first frame: Nimbrel %.1f ms; bare Qt window %.1f ms; ratio %.2f "
                "(goal <= 1.30)\n",
                oursMs, bareMs, oursMs / bareMs);
    std::printf("CPU time to first frame: Nimbrel %.1f ms; bare Qt window %.1f ms; ratio %.2f\n",
                oursCpuMs, bareCpuMs, oursCpuMs / bareCpuMs);
    std::printf("resident memory 2 s after the first frame: Nimbrel %.1f MiB; bare Qt window "
                "%.1f MiB; ratio %.2f (goal <= 1.30)\n",
                oursMiB, bareMiB, oursMiB / bareMiB);
    std::printf("load average after: %s\n", loadAverage().constData());
    return 0;
}
