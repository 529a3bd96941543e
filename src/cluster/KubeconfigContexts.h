#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QList>
#include <QString>

#include <chrono>
#include <optional>

// The contexts of a kubeconfig as the bundled kubectl reads them, and a private copy of one of
// them alone, so that every later command reaches that context without the user's file being
// touched. Widget-free and stateless; every call blocks on kubectl and suits a background job.
class KubeconfigContexts {
    Q_DECLARE_TR_FUNCTIONS(KubeconfigContexts)

public:
    KubeconfigContexts() = delete;

    struct Context {
        QString name;
        QString server;
        QString user;

        bool operator==(const Context& other) const = default;
    };

    struct List {
        // The current context first, then the others in the file's order.
        QList<Context> contexts;
        // Why the contexts could not be read (Chinese); empty when they were.
        QString failure;
    };

    struct Copy {
        // The private single-context kubeconfig; empty when none could be written.
        QString path;
        Context context;
        QString failure;
    };

    static constexpr std::chrono::milliseconds timeLimit{15000};

    // The name of the private copy in the private temporary folder.
    static QString copyFileName() { return QStringLiteral("kubeconfig-context"); }

    // `kubectl config view -o json` on `kubeconfigPath`.
    static List read(const QString& kubeconfigPath);
    // The same for a file that holds a Base64-wrapped kubeconfig, as the check will decode it: the
    // decoded text is listed from a private file in `tempDirectory` that is removed at once.
    static List readDecodingBase64(const QString& kubeconfigPath, const QString& tempDirectory);
    // kubectl's JSON view of a kubeconfig; `failure` set when it is no kubeconfig.
    static List parse(const QByteArray& json);

    // Writes `kubectl config view --minify --flatten --context NAME` of `kubeconfigPath` as
    // copyFileName() in `tempDirectory`, mode 0600. A credential plugin named by a relative path
    // is made absolute against `originDirectory`, the folder of the user's own file, where kubectl
    // would have looked for it.
    static Copy writeSingleContextCopy(const QString& kubeconfigPath, const QString& contextName,
                                       const QString& originDirectory,
                                       const QString& tempDirectory);
    // The JSON of such a copy with a relative plugin path resolved; nullopt when it is no object.
    static std::optional<QByteArray> resolvePluginPaths(const QByteArray& json,
                                                        const QString& originDirectory);
};
