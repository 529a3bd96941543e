#pragma once

#include "cluster/ReleaseRecord.h"
#include "session/DevtronChoices.h"
#include "shell/CommandRunner.h"

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <optional>

// Asks the cluster, before anything is installed, whether Devtron can come up there: the
// Kubernetes version, the permission to create what the chart creates, a default StorageClass for
// Devtron's database volume, the nodes' free CPU and memory against the chosen variant, whether
// Devtron's chart repository answers this machine, and an existing Devtron release.
// Each question is one bounded kubectl or helm call; a question that cannot be answered is a
// warning that says so, never a pass. Widget-free and stateless.
class PreflightCheck {
    Q_DECLARE_TR_FUNCTIONS(PreflightCheck)

public:
    PreflightCheck() = delete;

    // `target` is the row that names the cluster the questions went to; it is listed first.
    enum class Item { version, permissions, storage, capacity, release, target, chartRepository };
    enum class State { passed, warning, failed };

    struct Result {
        Item item;
        State state;
        QString title;
        // What was found, in plain words.
        QString cause;
        // What the user can do about it; empty for a pass.
        QString remedy;
        // The release item's record when the release is left broken, which a repair can clear.
        std::optional<ReleaseRecord> brokenRelease = std::nullopt;

        bool operator==(const Result& other) const = default;
    };
    using Results = QList<Result>;
    using LineLogger = std::function<void(const QString&)>;

    static constexpr std::chrono::milliseconds defaultTimeLimit{20000};
    // What Devtron documents: Kubernetes 1.16; the nodes' figures come with the variant.
    static constexpr int minimumMinorVersion = 16;
    // The repository's index may take this long; helm itself would wait far longer.
    static constexpr std::chrono::milliseconds chartRepositoryTimeLimit{10000};

    // Every question, one after the other, on the calling thread.
    static Results run(const EnvironmentOverlay& environment, std::chrono::milliseconds timeLimit,
                       const LineLogger& log, DevtronVariant variant = DevtronVariant::cicd);

    // What each answer means.
    static Result checkVersion(const CommandResult& version);
    // (resource, answer of "kubectl auth can-i create <resource>") for each resource.
    static Result checkPermissions(const QList<std::pair<QString, CommandResult>>& answers);
    static Result checkStorage(const CommandResult& storageClasses);
    static Result checkCapacity(const CommandResult& nodes,
                                DevtronVariant variant = DevtronVariant::cicd);
    // One GET of the repository's index.yaml, given up after `limit`. Run on a pool thread.
    static Result checkChartRepository(const QUrl& repository, std::chrono::milliseconds limit);
    // The repository install.sh adds; NIMBREL_CHART_REPO_URL replaces it for the check's tests.
    static QUrl chartRepository();
    // The answer of `helm history devtron -n devtroncd -o json --max 1`.
    static Result checkRelease(const CommandResult& history);

    // The passed row naming the cluster (the sentence of the session's clusterTarget()).
    static Result targetRow(const QString& clusterTarget);

    static bool hasFailure(const Results& results);
    static bool hasWarning(const Results& results);
    // A deployed devtron release: installing again is refused, reading its access data is not.
    static bool foundExistingRelease(const Results& results);
    // The release record of a failed release item that a repair can clear.
    static std::optional<ReleaseRecord> brokenRelease(const Results& results);

    // Kubernetes quantities: "3920m" or "4" cores, "16Gi", "8000Ki", "6G" or plain bytes.
    static std::optional<double> cpuCores(const QString& quantity);
    static std::optional<double> memoryBytes(const QString& quantity);

    // The resources the chart creates at cluster scope, or in a namespace of its own.
    static const QStringList& requiredResources();
};
