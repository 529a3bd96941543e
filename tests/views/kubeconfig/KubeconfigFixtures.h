#pragma once

#include "support/ScopedEnvironmentVariable.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

// Sample kubeconfig texts and small file helpers shared by the kubeconfig tests.
namespace kubeconfig_fixtures {

// A complete kubeconfig in the usual layout; its cluster is named "prod-cluster".
QString completeKubeconfig();
// The same without its "current-context" line.
QString kubeconfigWithoutCurrentContext();
QByteArray base64OneLine(const QString& text);
// Base64 broken into lines of 76 characters, as `base64` prints it.
QByteArray base64Wrapped(const QString& text);

// Writes the bytes to dir/name and returns the path.
QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes);
// A sparse file of the given size (no disk space is taken).
QString makeSparseFile(const QString& dir, const QString& name, qint64 size);
QString makeFifo(const QString& dir, const QString& name);
std::optional<QByteArray> readFile(const QString& path);
// Permission bits of the file itself (links not followed).
int fileMode(const QString& path);

using ScopedEnv = ScopedEnvironmentVariable;

// Receives the addresses handed to QDesktopServices::openUrl.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

} // namespace kubeconfig_fixtures
