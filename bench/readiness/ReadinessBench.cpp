// The CPU that watching Devtron come up costs while the user waits on the completion screen: the
// readiness watch (a kubectl poll every 5 s, and a probe of an address that does not answer yet),
// against what a user of the command line runs instead, `kubectl get pods` every 5 s in a shell
// loop. Both use the same stand-in kubectl, which prints a pod list as the real one would.
#include "cluster/ReadinessWatcher.h"
#include "session/InstallationState.h"
#include "shell/AppPaths.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr int watchSeconds = 60;

const char* const standInKubectl = R"sh(#!/bin/sh
printf '{"items":[{"kind":"Pod","metadata":{"name":"devtron-0"},"status":{"phase":"Pending","conditions":'
printf '[{"type":"Ready","status":"False"}]}}]}\n'
)sh";

// CPU seconds of this process and of its children that have ended.
double cpuSeconds() {
    double total = 0;
    for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        total += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                 static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return total;
}

// Share of one core spent while `run` goes on for watchSeconds.
double coreShare(const std::function<void()>& run) {
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    run();
    return (cpuSeconds() - before) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
}

void runEventLoopFor(int seconds) {
    QTimer::singleShot(seconds * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    const QTemporaryDir sandbox;
    qputenv("XDG_STATE_HOME", QFile::encodeName(sandbox.filePath(QStringLiteral("state"))));
    QCoreApplication app(argc, argv);
    const QString kubectl = sandbox.filePath(QStringLiteral("kubectl"));
    QFile script(kubectl);
    if (!script.open(QIODevice::WriteOnly) || script.write(standInKubectl) < 0) {
        std::fprintf(stderr, "cannot write the stand-in kubectl\n");
        return 1;
    }
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    AppPaths::setToolsDirectoryOverride(sandbox.path());

    InstallationState state;
    state.setKubeconfigPath(sandbox.filePath(QStringLiteral("config")));
    // A port nothing listens on: Devtron does not answer yet, so the watch goes on.
    state.setDevtronUrl(QStringLiteral("http://127.0.0.1:9"));

    const double loop = coreShare([&] {
        QProcess shell;
        shell.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"),
                     QStringLiteral("while :; do \"$0\" get pods -n devtroncd -o json "
                                    ">/dev/null; sleep 5; done"),
                     kubectl});
        runEventLoopFor(watchSeconds);
        shell.kill();
        shell.waitForFinished();
    });
    ReadinessWatcher watcher(state);
    const double watch = coreShare([&] {
        watcher.start();
        runEventLoopFor(watchSeconds);
        watcher.stop();
    });
    std::printf("watching Devtron come up for %d s, a poll every 5 s\n", watchSeconds);
    std::printf("  readiness watch:        %6.3f %% of one core (goal < 1 %%)\n", watch * 100);
    std::printf("  shell loop of kubectl:  %6.3f %% of one core\n", loop * 100);
    std::printf("  ratio:                  %6.2f\n", loop > 0 ? watch / loop : 0.0);
    AppPaths::setToolsDirectoryOverride({});
    return 0;
}
