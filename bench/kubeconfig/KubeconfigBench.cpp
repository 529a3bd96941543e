// Times the kubeconfig check on a 10 MiB file against merely reading that file.
#include "views/kubeconfig/KubeconfigValidator.h"

#include "support/MedianTime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qint64 targetSize = qint64{10} * 1024 * 1024;
constexpr int rounds = 5;

// A long but realistic kubeconfig: many clusters, contexts and users.
QByteArray largeKubeconfig() {
    QByteArray text = "apiVersion: v1\nkind: Config\ncurrent-context: ctx-0\nclusters:\n";
    QByteArray contexts = "contexts:\n";
    for (int i = 0; text.size() + contexts.size() < targetSize; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "- cluster:\n    certificate-authority-data: " + QByteArray(600, 'Q') +
                "\n    server: https://10.0." + n + ".1:6443\n  name: cluster-" + n + "\n";
        contexts += "- context:\n    cluster: cluster-" + n + "\n    user: user-" + n +
                    "\n  name: ctx-" + n + "\n";
    }
    return text + contexts;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config"));
    QFile file(path);
    const QByteArray content = largeKubeconfig();
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    file.close();

    qint64 readBytes = 0;
    const double readMs = medianMs(rounds, [&] {
        QFile in(path);
        if (in.open(QIODevice::ReadOnly)) {
            readBytes = in.readAll().size();
        }
    });
    bool valid = false;
    const double validateMs = medianMs(rounds, [&] {
        const auto result = KubeconfigValidator::validateKubeconfigFile(
            path, dir.path() + QLatin1Char('/'), [](const QString&) {});
        valid = result.verdict == KubeconfigValidator::Verdict::valid;
    });

    std::printf("kubeconfig of %lld bytes (median of %d runs)\n", static_cast<long long>(readBytes),
                rounds);
    std::printf("  read only:  %8.2f ms\n", readMs);
    std::printf("  validation: %8.2f ms (goal <= 100 ms)%s\n", validateMs,
                valid ? "" : "  [verdict was not valid]");
    std::printf("  ratio validation / read: %.1f\n", readMs > 0 ? validateMs / readMs : 0.0);
    return valid ? 0 : 1;
}
