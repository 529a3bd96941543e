#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include <optional>

// The newest revision of Devtron's Helm release as helm itself records it, read from
// `helm history devtron -n devtroncd -o json --max 1`: helm's state word, the revision and when
// it was written. Widget-free, so that each state helm can leave behind is checked on its text.
struct ReleaseRecord {
    Q_DECLARE_TR_FUNCTIONS(ReleaseRecord)

public:
    // Helm's own word: "deployed", "failed", "pending-install", "uninstalling", ...
    QString status;
    int revision = 0;
    // Invalid when helm recorded no time.
    QDateTime updated;

    // None when the text is not helm's history of at least one revision.
    static std::optional<ReleaseRecord> fromHistoryJson(const QString& json);

    bool isDeployed() const { return status == QLatin1String("deployed"); }
    // An install, upgrade or rollback that never finished: helm keeps the release locked.
    bool isPending() const;
    // The Secret in devtroncd in which helm keeps this revision.
    QString secretName() const;
    // The state, the revision and its time, for the checklist and the log.
    QString describe() const;

    bool operator==(const ReleaseRecord& other) const = default;
};
