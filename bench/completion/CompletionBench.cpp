// What the completion screen costs while the user keeps it open after an installation of Devtron
// as its own installer sets it up: the real screen (offscreen), a local tunnel through the real
// kubectl, the readiness watch of a Devtron whose installer never finishes, so that the watch runs
// throughout. Against a shell loop that does the same: the same tunnel and the same kubectl polls
// on the same schedule. Both against the cluster emulator on 127.0.0.1, counting the children.
//
// Usage: bench_completion [SECONDS] (default 600). Also: resident memory after one minute and at
// the end, and how long the tunnel's address takes to answer again after the tunnel is dropped.
#include "cluster/CredentialLookup.h"
#include "session/InstallationState.h"
#include "shell/ClusterTools.h"
#include "support/ProcessCpu.h"
#include "views/completion/CompletionController.h"
#include "views/completion/CompletionView.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

double residentMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return 0;
}

// A loop of its own: quitting the application's would end the tunnel, as quitting Nimbrel does.
void runEventLoopFor(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    loop.exec();
}

bool answers(int port) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    if (!socket.waitForConnected(1000)) {
        return false;
    }
    socket.write("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    return socket.waitForReadyRead(2000) && socket.readAll().startsWith("HTTP/1.");
}

struct Measure {
    double coreShare = 0;
    double residentAfterMinute = 0;
    double residentAtEnd = 0;
};

// Runs the event loop for `total`, the CPU share over all of it.
Measure measure(std::chrono::seconds total) {
    Measure result;
    const double before = processTreeCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    const auto minute = std::min<std::chrono::seconds>(total, std::chrono::seconds(60));
    runEventLoopFor(minute);
    result.residentAfterMinute = residentMiB();
    runEventLoopFor(total - minute);
    result.residentAtEnd = residentMiB();
    result.coreShare =
        (processTreeCpuSeconds() - before) / (static_cast<double>(wall.nsecsElapsed()) / 1e9);
    return result;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir sandbox;
    for (const char* name : {"HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
        qputenv(name, QFile::encodeName(sandbox.filePath(QString::fromLatin1(name))));
        QDir().mkpath(sandbox.filePath(QString::fromLatin1(name)));
    }
    QFile::setPermissions(sandbox.filePath(QStringLiteral("XDG_RUNTIME_DIR")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QApplication app(argc, argv);
    const std::chrono::seconds duration(argc > 1 ? QByteArray(argv[1]).toInt() : 600);

    // Devtron's installer never reaches "Applied": the watch goes on the whole time.
    QProcess emulator;
    emulator.start(QStringLiteral("python3"),
                   {QStringLiteral(NIMBREL_EMULATOR_SCRIPT), QStringLiteral("--state-dir"),
                    sandbox.filePath(QStringLiteral("cluster")), QStringLiteral("--flavour"),
                    QStringLiteral("upstream"), QStringLiteral("--service-shape"),
                    QStringLiteral("pending-lb"), QStringLiteral("--installer-applied-after"),
                    QStringLiteral("100000"), QStringLiteral("--password-after"),
                    QStringLiteral("1")});
    if (!emulator.waitForReadyRead(30000)) {
        std::fprintf(stderr, "the cluster emulator did not start\n");
        return 1;
    }
    const QJsonObject ready = QJsonDocument::fromJson(emulator.readLine()).object();
    const QString kubeconfig = ready[QLatin1String("kubeconfig")].toString();
    const QString controlFile = ready[QLatin1String("controlFile")].toString();
    qputenv("DEVTRON_CHART", NIMBREL_STANDIN_CHART);
    const CommandResult installed = ShellUtils::runCommandWithEnv(
        ClusterTools::installScriptCommand(), ClusterTools::environment(kubeconfig));
    if (installed.exitCode != 0) {
        std::fprintf(stderr, "install.sh failed: %s\n", qPrintable(installed.error));
        return 1;
    }

    InstallationState state;
    state.setKubeconfigPath(kubeconfig);
    state.setInstallDevtron(true);
    CredentialLookup::store(
        state, CredentialLookup::run(CredentialLookup::plan(kubeconfig, std::chrono::seconds(60)),
                                     [](const QString&) {}));
    auto* controller =
        new CompletionController(state, QStringLiteral("com.orvane.nimbrel.bench"), [] {});
    CompletionView view(controller);
    view.show();
    const QDeadlineTimer tunnelDeadline(30000);
    while (!controller->tunnel().isForwarding() && !tunnelDeadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    }
    if (!controller->tunnel().isForwarding()) {
        std::fprintf(stderr, "the tunnel did not open\n");
        return 1;
    }
    const int port = controller->tunnel().localPort();
    const Measure nimbrel = measure(duration);

    // Dropped once: how long until the same address answers again.
    QFile control(controlFile);
    control.open(QIODevice::WriteOnly | QIODevice::Truncate);
    control.write("port-forward-drop\n");
    control.close();
    QElapsedTimer back;
    back.start();
    while (controller->tunnel().isForwarding() && back.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    back.restart();
    while (!answers(port) && back.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    const double answersAgain = static_cast<double>(back.elapsed()) / 1000;
    delete controller;

    // The same by hand: the tunnel in the background and the same polls on the same schedule.
    const QString kubectl = ShellUtils::quotePath(ClusterTools::kubectlPath());
    const QString loop =
        QStringLiteral(
            "export KUBECONFIG=%1; %2 port-forward -n devtroncd service/devtron-service "
            "%3:80 --address 127.0.0.1 >/dev/null & started=$(date +%s); "
            "while :; do %2 get pods,persistentvolumeclaims,installers.installer.devtron.ai "
            "-n devtroncd -o json --request-timeout=10s >/dev/null; "
            "if [ $(( $(date +%s) - started )) -lt 60 ]; then sleep 5; else sleep 20; fi; "
            "done")
            .arg(ShellUtils::quotePath(kubeconfig), kubectl)
            .arg(port + 1);
    QProcess shell;
    shell.setChildProcessModifier([] { ::setpgid(0, 0); });
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), loop});
    shell.waitForStarted();
    const Measure byHand = measure(duration);
    ::kill(static_cast<pid_t>(-shell.processId()), SIGTERM);
    shell.waitForFinished();
    emulator.terminate();
    emulator.waitForFinished();

    std::printf("the completion screen for %lld s: tunnel open, Devtron's installer never done\n",
                static_cast<long long>(duration.count()));
    std::printf("  Nimbrel and its children:  %6.3f %% of one core (goal < 1 %%)\n",
                nimbrel.coreShare * 100);
    std::printf("  shell loop, same polls:    %6.3f %% of one core\n", byHand.coreShare * 100);
    std::printf("  ratio:                     %6.2f\n",
                byHand.coreShare > 0 ? nimbrel.coreShare / byHand.coreShare : 0.0);
    std::printf("  resident memory:           %.1f MiB after 1 min, %.1f MiB at the end (goal: "
                "within 1 MiB)\n",
                nimbrel.residentAfterMinute, nimbrel.residentAtEnd);
    std::printf("  answers again after a drop: %.1f s (goal < 5 s)\n", answersAgain);
    return 0;
}
