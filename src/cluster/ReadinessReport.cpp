#include "cluster/ReadinessReport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace {

QJsonArray items(const QString& list) {
    return QJsonDocument::fromJson(list.toUtf8()).object()[QLatin1String("items")].toArray();
}

QString nameOf(const QJsonValue& object) {
    return object[QLatin1String("metadata")][QLatin1String("name")].toString();
}

QJsonObject condition(const QJsonValue& pod, QLatin1String type) {
    for (const QJsonValue entry :
         pod[QLatin1String("status")][QLatin1String("conditions")].toArray()) {
        if (entry[QLatin1String("type")].toString() == type) {
            return entry.toObject();
        }
    }
    return {};
}

// What the scheduler names as missing ("0/3 nodes are available: 3 Insufficient memory.").
QString missingResource(const QString& message) {
    static const QRegularExpression insufficient(QStringLiteral("Insufficient ([\\w./-]+)"));
    QStringList resources;
    auto matches = insufficient.globalMatch(message);
    while (matches.hasNext()) {
        const QString resource = matches.next().captured(1);
        QString word = resource;
        if (resource == QLatin1String("cpu")) {
            word = QStringLiteral("CPU");
        } else if (resource == QLatin1String("memory")) {
            word = QCoreApplication::translate("ReadinessReport", "内存");
        }
        if (!resources.contains(word)) {
            resources << word;
        }
    }
    //: Joins the resources the nodes lack ("CPU和内存").
    return resources.join(QCoreApplication::translate("ReadinessReport", "和"));
}

std::optional<QString> unschedulable(const QJsonValue& pod) {
    const QJsonObject scheduled = condition(pod, QLatin1String("PodScheduled"));
    if (scheduled[QLatin1String("status")].toString() != QLatin1String("False")) {
        return std::nullopt;
    }
    const QString message = scheduled[QLatin1String("message")].toString();
    const QString missing = missingResource(message);
    if (!missing.isEmpty()) {
        //: %1 is the pod, %2 the resources the nodes lack.
        return QCoreApplication::translate("ReadinessReport", "Pod %1 无法调度：节点的%2不足")
            .arg(nameOf(pod), missing);
    }
    if (message.contains(QLatin1String("PersistentVolumeClaim"))) {
        return std::nullopt; // the claim itself is reported below, with its cause
    }
    //: %1 is the pod, %2 the scheduler's message.
    return QCoreApplication::translate("ReadinessReport", "Pod %1 无法调度：%2")
        .arg(nameOf(pod), message);
}

struct WaitingContainer {
    QString name;
    QString image;
    // The kubelet's reason and message.
    QString reason;
    QString message;
};

// The first waiting container whose reason is one of `reasons`.
std::optional<WaitingContainer> waitingContainer(const QJsonValue& pod,
                                                 const QStringList& reasons) {
    for (const QJsonValue container :
         pod[QLatin1String("status")][QLatin1String("containerStatuses")].toArray()) {
        const QJsonValue waiting = container[QLatin1String("state")][QLatin1String("waiting")];
        const QString reason = waiting[QLatin1String("reason")].toString();
        if (reasons.contains(reason)) {
            return WaitingContainer{container[QLatin1String("name")].toString(),
                                    container[QLatin1String("image")].toString(), reason,
                                    waiting[QLatin1String("message")].toString().trimmed()};
        }
    }
    return std::nullopt;
}

bool isPending(const QJsonValue& claim) {
    return claim[QLatin1String("status")][QLatin1String("phase")].toString() ==
           QLatin1String("Pending");
}

bool isDefaultClass(const QJsonValue& storageClass) {
    const QJsonObject annotations =
        storageClass[QLatin1String("metadata")][QLatin1String("annotations")].toObject();
    for (const QLatin1String key :
         {QLatin1String("storageclass.kubernetes.io/is-default-class"),
          QLatin1String("storageclass.beta.kubernetes.io/is-default-class")}) {
        if (annotations[key].toString() == QLatin1String("true")) {
            return true;
        }
    }
    return false;
}

// Why a Pending claim waits, when that is something the user must act on; none when it is
// normal (its class binds volumes only once a pod uses it) or the classes are unknown.
std::optional<QString> pendingClaimCause(const QJsonValue& claim, const QString& storageClasses) {
    if (storageClasses.isEmpty()) {
        return std::nullopt;
    }
    const QJsonArray classes = items(storageClasses);
    QString className = claim[QLatin1String("spec")][QLatin1String("storageClassName")].toString();
    const bool namesClass = !className.isEmpty();
    const auto found = std::find_if(classes.begin(), classes.end(), [&](const QJsonValue& entry) {
        return namesClass ? nameOf(entry) == className : isDefaultClass(entry);
    });
    if (found == classes.end()) {
        if (!namesClass) {
            return QCoreApplication::translate(
                       "ReadinessReport",
                       "存储卷 %1 处于Pending状态：集群没有可用的默认StorageClass")
                .arg(nameOf(claim));
        }
        //: %1 is the claim, %2 the StorageClass it names.
        return QCoreApplication::translate("ReadinessReport",
                                           "存储卷 %1 处于Pending状态：集群中没有StorageClass %2")
            .arg(nameOf(claim), className);
    }
    const QJsonValue storageClass = *found;
    if (storageClass[QLatin1String("volumeBindingMode")].toString() ==
        QLatin1String("WaitForFirstConsumer")) {
        return std::nullopt;
    }
    //: %1 is the claim, %2 its StorageClass.
    return QCoreApplication::translate("ReadinessReport",
                                       "存储卷 %1 处于Pending状态（StorageClass %2）")
        .arg(nameOf(claim), nameOf(storageClass));
}

} // namespace

QString ReadinessReport::itemsOfKind(const QString& list, const QString& kind) {
    QJsonArray chosen;
    for (const QJsonValue item : items(list)) {
        if (item[QLatin1String("kind")].toString() == kind) {
            chosen.append(item);
        }
    }
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("items"), chosen}})
                                 .toJson(QJsonDocument::Compact));
}

bool ReadinessReport::hasPendingClaim(const QString& claims) {
    const QJsonArray list = items(claims);
    return std::any_of(list.begin(), list.end(), [](const QJsonValue& c) { return isPending(c); });
}

ReadinessReport ReadinessReport::fromLists(const QString& pods, const QString& claims,
                                           const QString& storageClasses) {
    ReadinessReport report;
    const QJsonArray podList = items(pods);
    for (const QJsonValue pod : podList) {
        const QString phase = pod[QLatin1String("status")][QLatin1String("phase")].toString();
        if (phase == QLatin1String("Succeeded")) {
            continue;
        }
        ++report.total;
        if (condition(pod, QLatin1String("Ready"))[QLatin1String("status")].toString() ==
            QLatin1String("True")) {
            ++report.ready;
        }
    }
    if (report.isReady()) {
        return report;
    }
    if (report.total == 0) {
        report.reason = tr("devtroncd中还没有Pod");
    }

    // The causes in the order a user should tackle them.
    for (const QJsonValue pod : podList) {
        if (const auto reason = unschedulable(pod)) {
            report.reason = *reason;
            return report;
        }
    }
    for (const QJsonValue claim : items(claims)) {
        if (!isPending(claim)) {
            continue;
        }
        if (const auto cause = pendingClaimCause(claim, storageClasses)) {
            report.reason = *cause;
            return report;
        }
    }
    const QStringList pullFailures{QStringLiteral("ImagePullBackOff"),
                                   QStringLiteral("ErrImagePull")};
    for (const QJsonValue pod : podList) {
        if (const auto container = waitingContainer(pod, pullFailures)) {
            // The kubelet's own words: the registry may refuse, the tag may not exist, or the
            // network may be at fault, and only the message tells which.
            const QString cause =
                container->message.isEmpty()
                    ? container->reason
                    : container->reason + QStringLiteral(": ") + container->message;
            //: %1 is the image, %2 the kubelet's reason and message.
            report.reason = tr("无法拉取镜像 %1：%2").arg(container->image, cause);
            return report;
        }
    }
    for (const QJsonValue pod : podList) {
        if (const auto container = waitingContainer(pod, {QStringLiteral("CrashLoopBackOff")})) {
            report.reason = tr("容器 %1（Pod %2）反复崩溃").arg(container->name, nameOf(pod));
            return report;
        }
    }
    return report;
}
