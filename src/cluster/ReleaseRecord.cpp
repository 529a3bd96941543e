#include "cluster/ReleaseRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<ReleaseRecord> ReleaseRecord::fromHistoryJson(const QString& json) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() ||
        document.array().isEmpty()) {
        return std::nullopt;
    }
    // The listing runs from old to new; with --max 1 it holds the newest revision alone.
    const QJsonObject newest = document.array().last().toObject();
    ReleaseRecord record;
    record.status = newest[QLatin1String("status")].toString();
    record.revision = newest[QLatin1String("revision")].toInt();
    if (record.status.isEmpty() || record.revision <= 0) {
        return std::nullopt;
    }
    // RFC 3339 with up to nine digits of fraction, or empty for a time helm never set.
    record.updated =
        QDateTime::fromString(newest[QLatin1String("updated")].toString(), Qt::ISODateWithMs);
    return record;
}

bool ReleaseRecord::isPending() const {
    return status == QLatin1String("pending-install") ||
           status == QLatin1String("pending-upgrade") ||
           status == QLatin1String("pending-rollback");
}

QString ReleaseRecord::secretName() const {
    return QStringLiteral("sh.helm.release.v1.devtron.v%1").arg(revision);
}

QString ReleaseRecord::describe() const {
    if (!updated.isValid()) {
        //: %1 is helm's state word (failed, pending-install, ...), %2 the revision number.
        return tr("%1（第%2版）").arg(status).arg(revision);
    }
    //: %1 is helm's state word, %2 the revision number, %3 the local time it was written.
    return tr("%1（第%2版，%3）")
        .arg(status)
        .arg(revision)
        .arg(updated.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}
