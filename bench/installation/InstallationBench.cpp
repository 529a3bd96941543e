// Feeds 100 000 session log lines to the shown installation screen and reports how the time grows
// with the number of lines and the longest stretch the GUI thread spent without returning.
#include "session/InstallationState.h"
#include "shell/AppPaths.h"
#include "views/installation/InstallationController.h"
#include "views/installation/InstallationView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

constexpr int totalLines = 100000;
constexpr int firstMark = 10000;
// Lines posted between two turns of the event loop, as a chatty installer would.
constexpr int linesPerTurn = 10;

double msSince(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// CPU time of the GUI thread: on a busy machine wall time mostly measures the other processes.
double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QTemporaryDir sandbox;
    // The session log file and the installer's files go to the sandbox, not the user's folders.
    qputenv("XDG_STATE_HOME", QFile::encodeName(sandbox.filePath(QStringLiteral("state"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(sandbox.path()));
    QApplication app(argc, argv);
    AppPaths::setToolsDirectoryOverride(sandbox.filePath(QStringLiteral("no-tools")));

    // Configure-only with a missing kubeconfig: the run fails at once and the screen's sweep and
    // clock keep running beside the log, as after a real failure.
    InstallationState state;
    state.setCurrentStep(InstallationStep::installation);
    state.setInstallDevtron(false);
    state.setKubeconfigPath(sandbox.filePath(QStringLiteral("missing")));
    InstallationView view(state);
    view.resize(630, 460);
    view.show();
    while (view.controller().isEngineBusy()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    QApplication::processEvents();

    double atFirstMark = 0;
    double cpuAtFirstMark = 0;
    double longestStallMs = 0;
    double longestStallCpuMs = 0;
    const double cpuStart = threadCpuMs();
    QElapsedTimer total;
    total.start();
    for (int line = 1; line <= totalLines; ++line) {
        state.appendLog(QStringLiteral(">> helm: manifest %1 of the chart rendered and applied to "
                                       "namespace devtroncd")
                            .arg(line));
        if (line % linesPerTurn == 0) {
            QElapsedTimer turn;
            turn.start();
            const double turnCpu = threadCpuMs();
            QApplication::processEvents();
            longestStallMs = std::max(longestStallMs, msSince(turn));
            longestStallCpuMs = std::max(longestStallCpuMs, threadCpuMs() - turnCpu);
        }
        if (line == firstMark) {
            atFirstMark = msSince(total);
            cpuAtFirstMark = threadCpuMs() - cpuStart;
        }
    }
    const double atEnd = msSince(total);
    const double cpuAtEnd = threadCpuMs() - cpuStart;

    std::printf("installation screen log, %d lines per event-loop turn\n", linesPerTurn);
    std::printf("               wall time   GUI-thread CPU time\n");
    std::printf("  %6d lines: %9.1f ms  %9.1f ms\n", firstMark, atFirstMark, cpuAtFirstMark);
    std::printf("  %6d lines: %9.1f ms  %9.1f ms\n", totalLines, atEnd, cpuAtEnd);
    std::printf("  ratio:        %9.2f     %9.2f    for 10x the lines (goal <= 12)\n",
                atFirstMark > 0 ? atEnd / atFirstMark : 0.0,
                cpuAtFirstMark > 0 ? cpuAtEnd / cpuAtFirstMark : 0.0);
    std::printf("  longest turn: %9.1f ms  %9.1f ms  (goal <= 50 ms)\n", longestStallMs,
                longestStallCpuMs);
    AppPaths::setToolsDirectoryOverride({});
    return 0;
}
