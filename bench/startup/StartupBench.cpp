// Measures Nimbrel's start against a bare Qt window, from outside both processes and as a user
// meets it: on a display that stays up, with caches warmed by an earlier start. The first frame is
// the first time the program's mapped window holds drawn text, seen through the X DAMAGE extension
// and a read-back of the window. Beside the warm figures it prints cold ones, each start with a
// fresh home and XDG cache. Uses DISPLAY, or its own Xvfb that never resets. Arguments: the rounds,
// and another build of Nimbrel to measure instead of this one.
#include "support/MedianTime.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSysInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

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

constexpr int defaultRounds = 11;
constexpr auto settleTime = std::chrono::seconds(2);
constexpr auto idleSpan = std::chrono::seconds(2);
constexpr auto firstFrameTimeout = std::chrono::seconds(30);
// Dark, colourless pixels: glyph ink in either program, never its background or an accent colour.
constexpr int inkLevel = 110;
constexpr int inkGreyness = 40;
constexpr int inkPixelsForText = 20;

struct Sample {
    double firstFrameMs = 0;
    double cpuMs = 0;
    double residentMiB = 0;
    double idleCpuMsPerS = 0;
};

struct Figures {
    std::vector<double> firstFrameMs;
    std::vector<double> cpuMs;
    std::vector<double> residentMiB;
    std::vector<double> idleCpuMsPerS;

    void add(const Sample& sample) {
        firstFrameMs.push_back(sample.firstFrameMs);
        cpuMs.push_back(sample.cpuMs);
        residentMiB.push_back(sample.residentMiB);
        idleCpuMsPerS.push_back(sample.idleCpuMsPerS);
    }
};

struct Program {
    explicit Program(const char* program) : path(program) {}

    const char* path;
    // One home for every warm start, so that what the first start caches is there for the next.
    std::unique_ptr<QTemporaryDir> warmHome = std::make_unique<QTemporaryDir>();
    Figures warm;
    Figures cold;
};

QByteArrayList sandboxEnvironment(const QTemporaryDir& sandbox, const QByteArray& display) {
    const QByteArray root = QFile::encodeName(sandbox.path());
    QByteArrayList set{"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"};
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

// Starts `argv` (searched on PATH when `searchPath`) with standard output and error discarded,
// or, for `childFd` >= 0, that descriptor writing into a pipe whose reading end is returned.
std::optional<std::pair<pid_t, int>> spawn(char* const argv[], char* const envp[], int childFd,
                                           bool searchPath) {
    int fds[2] = {-1, -1};
    if (childFd >= 0 && ::pipe2(fds, O_CLOEXEC) != 0) {
        return std::nullopt;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    if (childFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, fds[1], childFd);
    }
    pid_t pid = -1;
    const int error = searchPath ? ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv, envp)
                                 : ::posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp);
    posix_spawn_file_actions_destroy(&actions);
    if (childFd >= 0) {
        ::close(fds[1]);
    }
    if (error != 0) {
        if (childFd >= 0) {
            ::close(fds[0]);
        }
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

// User and system time of all the process's threads so far, to the nanosecond: /proc/PID/stat
// counts in 10 ms ticks, too coarse for a start that takes a few of them.
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

// The pixel as 0xRRGGBB; a 32-bit image of the machine's own byte order is read directly, as
// XGetPixel would take a few milliseconds for a whole window.
unsigned long pixelAt(const XImage* image, int x, int y) {
    if (image->bits_per_pixel == 32 &&
        image->byte_order ==
            (QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst)) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel,
                    image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line +
                        static_cast<std::ptrdiff_t>(x) * 4,
                    sizeof pixel);
        return pixel;
    }
    return XGetPixel(const_cast<XImage*>(image), x, y);
}

bool isInk(unsigned long pixel) {
    const int r = static_cast<int>((pixel >> 16) & 0xff);
    const int g = static_cast<int>((pixel >> 8) & 0xff);
    const int b = static_cast<int>(pixel & 0xff);
    const int lightest = std::max({r, g, b});
    return lightest < inkLevel && lightest - std::min({r, g, b}) < inkGreyness;
}

// A window may vanish between its event and our request; such errors only mean "not this one".
int ignoreXError(Display* /*display*/, XErrorEvent* /*error*/) {
    return 0;
}

// Watches the display for the first frame with text of a window that a given process creates.
class FrameWatch {
public:
    explicit FrameWatch(const QByteArray& display) : m_display(XOpenDisplay(display.constData())) {
        int errorBase = 0;
        if (m_display == nullptr || !XDamageQueryExtension(m_display, &m_damageEvent, &errorBase)) {
            return;
        }
        XSetErrorHandler(ignoreXError);
        m_pidAtom = XInternAtom(m_display, "_NET_WM_PID", False);
        // Every top-level window is created as a child of the root, even under a reparenting
        // window manager.
        XSelectInput(m_display, DefaultRootWindow(m_display), SubstructureNotifyMask);
        XSync(m_display, False);
        m_ok = true;
    }
    ~FrameWatch() {
        if (m_display != nullptr) {
            XCloseDisplay(m_display);
        }
    }
    FrameWatch(const FrameWatch&) = delete;
    FrameWatch& operator=(const FrameWatch&) = delete;

    bool ok() const { return m_ok; }

    // Drops what earlier programs left: their windows and damage records.
    void reset() {
        for (auto it = m_damages.cbegin(); it != m_damages.cend(); ++it) {
            XDamageDestroy(m_display, it.value());
        }
        m_damages.clear();
        XSync(m_display, True);
    }

    // Waits until a window of `pid` holds text: the moment its drawing was seen and the process's
    // CPU time then, before the read-back that judged it.
    std::optional<std::pair<Clock::time_point, double>> waitForText(pid_t pid,
                                                                    Clock::time_point deadline) {
        const int fd = ConnectionNumber(m_display);
        while (Clock::now() < deadline) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type == CreateNotify) {
                    // Before the program can draw: damage records only what is drawn after this.
                    const Window window = event.xcreatewindow.window;
                    m_damages.insert(window,
                                     XDamageCreate(m_display, window, XDamageReportNonEmpty));
                } else if (event.type == m_damageEvent + XDamageNotify) {
                    const Clock::time_point seen = Clock::now();
                    const double cpuMs = cpuMsOf(pid);
                    const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
                    XDamageSubtract(m_display, damage.damage, None, None);
                    if (ownerPid(damage.drawable) == pid && holdsText(damage.drawable)) {
                        return std::pair{seen, cpuMs};
                    }
                }
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            pollfd ready{fd, POLLIN, 0};
            ::poll(&ready, 1, static_cast<int>(std::max<long long>(1, left.count())));
        }
        return std::nullopt;
    }

private:
    pid_t ownerPid(Window window) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        pid_t pid = -1;
        if (XGetWindowProperty(m_display, window, m_pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr) {
            if (format == 32 && count == 1) {
                pid = static_cast<pid_t>(*reinterpret_cast<const unsigned long*>(data));
            }
            XFree(data);
        }
        return pid;
    }

    bool holdsText(Window window) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(m_display, window, &attributes) == 0 ||
            attributes.map_state != IsViewable) {
            return false;
        }
        XImage* image = XGetImage(m_display, window, 0, 0, attributes.width, attributes.height,
                                  AllPlanes, ZPixmap);
        if (image == nullptr) {
            return false;
        }
        int ink = 0;
        for (int y = 0; y < image->height && ink < inkPixelsForText; ++y) {
            for (int x = 0; x < image->width; ++x) {
                if (isInk(pixelAt(image, x, y))) {
                    ++ink;
                }
            }
        }
        XDestroyImage(image);
        return ink >= inkPixelsForText;
    }

    Display* m_display;
    Atom m_pidAtom = None;
    int m_damageEvent = 0;
    QHash<Window, Damage> m_damages;
    bool m_ok = false;
};

std::optional<Sample> runOnce(FrameWatch& watch, const char* path, const QTemporaryDir& home,
                              const QByteArray& display) {
    const QByteArrayList environment = sandboxEnvironment(home, display);
    std::vector<char*> envp;
    for (const QByteArray& variable : environment) {
        envp.push_back(const_cast<char*>(variable.constData()));
    }
    envp.push_back(nullptr);
    QByteArray program(path);
    char* argv[] = {program.data(), nullptr};

    watch.reset();
    const Clock::time_point start = Clock::now();
    const auto spawned = spawn(argv, envp.data(), -1, false);
    if (!spawned) {
        std::fprintf(stderr, "cannot start %s\n", path);
        return std::nullopt;
    }
    const pid_t pid = spawned->first;
    const auto frame = watch.waitForText(pid, start + firstFrameTimeout);
    const bool drawn = frame.has_value();
    std::optional<double> resident;
    double idleCpuMs = 0;
    if (drawn) {
        std::this_thread::sleep_for(settleTime);
        resident = residentMiB(pid);
        const double before = cpuMsOf(pid);
        std::this_thread::sleep_for(idleSpan);
        idleCpuMs = cpuMsOf(pid) - before;
    }
    stop(pid);
    if (!drawn || !resident) {
        std::fprintf(stderr, "%s showed no text within %lld s\n", path,
                     static_cast<long long>(firstFrameTimeout.count()));
        return std::nullopt;
    }
    return Sample{std::chrono::duration<double, std::milli>(frame->first - start).count(),
                  frame->second, *resident,
                  idleCpuMs / std::chrono::duration<double>(idleSpan).count()};
}

// Xvfb picks a free display itself and writes its number once it accepts clients. -noreset keeps
// it, like a desktop's display, from starting over whenever its last client leaves.
std::optional<pid_t> startXvfb(QByteArray& display) {
    char xvfb[] = "Xvfb";
    char displayFd[] = "-displayfd";
    char three[] = "3";
    char screen[] = "-screen";
    char zero[] = "0";
    char geometry[] = "1024x600x24";
    char noTcp[] = "-nolisten";
    char tcp[] = "tcp";
    char noReset[] = "-noreset";
    char* argv[] = {xvfb, displayFd, three, screen, zero, geometry, noTcp, tcp, noReset, nullptr};
    const auto spawned = spawn(argv, environ, 3, true);
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

void printRow(const char* what, const char* unit, const std::vector<double>& ours,
              const std::vector<double>& bare, const std::vector<double>& oursCold,
              const std::vector<double>& bareCold, const char* goal) {
    const double o = median(ours);
    const double b = median(bare);
    const double oc = median(oursCold);
    const double bc = median(bareCold);
    // A baseline of nothing, as the bare window's idle CPU is, has no ratio.
    const auto ratio = [](double x, double y) {
        return y > 0 ? QByteArray::number(x / y, 'f', 2) : QByteArray("-");
    };
    std::printf("%-28s %7.1f %7.1f %6s %-7s | %7.1f %7.1f %6s  %s\n", what, o, b,
                ratio(o, b).constData(), goal, oc, bc, ratio(oc, bc).constData(), unit);
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
    int status = 1;
    {
        FrameWatch watch(display);
        if (!watch.ok()) {
            std::fprintf(stderr, "cannot watch display %s: no X DAMAGE extension\n",
                         display.constData());
        } else {
            Program nimbrel(argc > 2 ? argv[2] : NIMBREL_PROGRAM);
            Program bare(BARE_WINDOW_PROGRAM);
            std::printf("display %s, %d rounds, load average before: %s\n", display.constData(),
                        rounds, loadAverage().constData());
            std::fflush(stdout);
            // One unrecorded start each fills the page cache and the warm homes.
            bool ok = runOnce(watch, nimbrel.path, *nimbrel.warmHome, display) &&
                      runOnce(watch, bare.path, *bare.warmHome, display);
            for (int round = 0; ok && round < rounds; ++round) {
                // Alternating, and swapping which goes first, so drifting load hits both alike.
                Program* order[2] = {&nimbrel, &bare};
                if (round % 2 == 1) {
                    std::swap(order[0], order[1]);
                }
                for (const bool cold : {false, true}) {
                    for (Program* program : order) {
                        const QTemporaryDir freshHome;
                        const std::optional<Sample> sample = runOnce(
                            watch, program->path, cold ? freshHome : *program->warmHome, display);
                        if (!sample) {
                            ok = false;
                            break;
                        }
                        (cold ? program->cold : program->warm).add(*sample);
                    }
                }
            }
            if (ok) {
                std::printf("%-28s %7s %7s %6s %-7s | %7s %7s %6s\n", "median", "Nimbrel", "bare",
                            "ratio", "goal", "Nimbrel", "bare", "ratio");
                std::printf("%-28s %-30s | %s\n", "", "warm", "cold (fresh home and cache)");
                const Figures& w = nimbrel.warm;
                const Figures& c = nimbrel.cold;
                printRow("start to first frame (text)", "ms", w.firstFrameMs,
                         bare.warm.firstFrameMs, c.firstFrameMs, bare.cold.firstFrameMs, "<=1.30");
                printRow("CPU time to first frame", "ms", w.cpuMs, bare.warm.cpuMs, c.cpuMs,
                         bare.cold.cpuMs, "<=1.30");
                printRow("resident 2 s after it", "MiB", w.residentMiB, bare.warm.residentMiB,
                         c.residentMiB, bare.cold.residentMiB, "<=1.15");
                printRow("idle CPU on the first screen", "ms/s", w.idleCpuMsPerS,
                         bare.warm.idleCpuMsPerS, c.idleCpuMsPerS, bare.cold.idleCpuMsPerS, "0");
                std::printf("load average after: %s\n", loadAverage().constData());
                status = 0;
            }
        }
    }
    if (xvfb) {
        stop(*xvfb);
    }
    return status;
}
