#include "KubeconfigFixtures.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace kubeconfig_fixtures {

QString completeKubeconfig() {
    return QStringLiteral("apiVersion: v1\n"
                          "kind: Config\n"
                          "clusters:\n"
                          "- cluster:\n"
                          "    certificate-authority-data: LS0tLS1CRUdJTiBDRVJUSUZJQ0FURS0tLS0t\n"
                          "    server: https://203.0.113.10:6443\n"
                          "  name: prod-cluster\n"
                          "contexts:\n"
                          "- context:\n"
                          "    cluster: prod-cluster\n"
                          "    user: admin\n"
                          "  name: admin@prod-cluster\n"
                          "current-context: admin@prod-cluster\n"
                          "users:\n"
                          "- name: admin\n"
                          "  user:\n"
                          "    token: 0123456789abcdef\n");
}

QString kubeconfigWithoutCurrentContext() {
    QString text = completeKubeconfig();
    text.remove(QStringLiteral("current-context: admin@prod-cluster\n"));
    return text;
}

QByteArray base64OneLine(const QString& text) {
    return text.toUtf8().toBase64();
}

QByteArray base64Wrapped(const QString& text) {
    const QByteArray flat = base64OneLine(text);
    QByteArray wrapped;
    for (qsizetype at = 0; at < flat.size(); at += 76) {
        wrapped += flat.mid(at, 76) + '\n';
    }
    return wrapped;
}

QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes) {
    QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return {};
    }
    return path;
}

QString makeSparseFile(const QString& dir, const QString& name, qint64 size) {
    QString path = QDir(dir).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size)) {
        return {};
    }
    return path;
}

QString makeFifo(const QString& dir, const QString& name) {
    const QString path = QDir(dir).filePath(name);
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
}

std::optional<QByteArray> readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return file.readAll();
}

int fileMode(const QString& path) {
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return -1;
    }
    return static_cast<int>(info.st_mode & 07777);
}

} // namespace kubeconfig_fixtures
