#pragma once

#include "shell/CommandRunner.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>

// Removes Devtron from the session's cluster the way a careful operator does by hand: helm's
// release first, then the namespaces Devtron creates (its chart keeps them, and much in them,
// through `helm uninstall`), then its installer CRD. The preview asks the cluster what of this
// exists; the run removes exactly what the preview found, each command bounded, and reports what
// was removed and what was left, and why. A namespace that stays Terminating is reported with its
// finalizers instead of being waited on for ever. Widget-free and stateless: both calls block.
//
// A namespace outside Devtron's own four counts as Devtron's only when helm recorded it as an
// object of this release (its meta.helm.sh/release-name and release-namespace annotations);
// `argo`, where Devtron's CI runs its workflows and users often keep their own, is otherwise
// listed as kept, never removed.
class DevtronRemoval {
    Q_DECLARE_TR_FUNCTIONS(DevtronRemoval)

public:
    DevtronRemoval() = delete;

    enum class Kind { release, namespace_, crd };
    enum class Fate { remove, keep, removed, left };

    struct Item {
        Kind kind;
        QString name;
        Fate fate;
        // The preview's state of the object, or why it was kept or left.
        QString detail;

        bool operator==(const Item& other) const = default;
    };
    using Items = QList<Item>;

    struct Preview {
        Items items;
        // Why the cluster could not say what exists; empty when it could.
        QString failure;
    };

    struct Limits {
        std::chrono::milliseconds uninstall{std::chrono::minutes(5)};
        // For all namespaces together, from their deletion on.
        std::chrono::milliseconds namespaces{std::chrono::minutes(5)};
        std::chrono::milliseconds command{std::chrono::seconds(30)};
        std::chrono::milliseconds pollInterval{std::chrono::seconds(2)};
    };

    using LineLogger = std::function<void(const QString&)>;
    // The step under way in plain words, and how far the whole run has come (0 to 1).
    using Progress = std::function<void(const QString& step, double fraction)>;

    static const QString releaseName;
    static const QString releaseNamespace;
    static const QString crdName;
    // The namespaces Devtron creates, and those it shares with what the user runs.
    static const QStringList ownNamespaces;
    static const QStringList sharedNamespaces;

    static Preview preview(const EnvironmentOverlay& environment, const Limits& limits,
                           const LineLogger& log);
    // Removes the preview's items marked `remove`; the answer holds every preview item with its
    // fate `removed`, `left` or `keep`.
    static Items run(const Items& preview, const EnvironmentOverlay& environment,
                     const Limits& limits, const LineLogger& log, const Progress& progress);

    // Nothing that was to go is left.
    static bool succeeded(const Items& result);
    // Devtron's namespaces and the kept ones among kubectl's namespace list (-o json).
    static Items namespacesOf(const QString& list);
    // Why an object still being deleted stays: its finalizers and what its conditions say.
    static QString stuckReason(const QJsonObject& object);
    // "5m", or seconds when the limit is not whole minutes: helm's --timeout.
    static QString helmDuration(std::chrono::milliseconds limit);
};
