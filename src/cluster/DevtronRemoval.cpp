#include "cluster/DevtronRemoval.h"

#include "cluster/KubeJson.h"
#include "installer/DevtronInstaller.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/ShellUtils.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

#include <algorithm>

using namespace std::chrono_literals;

const QString DevtronRemoval::releaseName = QStringLiteral("devtron");
const QString DevtronRemoval::releaseNamespace = QStringLiteral("devtroncd");
const QString DevtronRemoval::crdName = QStringLiteral("installers.installer.devtron.ai");
const QStringList DevtronRemoval::ownNamespaces{
    QStringLiteral("devtroncd"), QStringLiteral("devtron-cd"), QStringLiteral("devtron-ci"),
    QStringLiteral("devtron-demo")};
const QStringList DevtronRemoval::sharedNamespaces{QStringLiteral("argo")};

namespace {

using Item = DevtronRemoval::Item;
using Items = DevtronRemoval::Items;
using Kind = DevtronRemoval::Kind;
using Fate = DevtronRemoval::Fate;

const QString crdResource = QStringLiteral("customresourcedefinitions.apiextensions.k8s.io");

QString kubectl(const QString& arguments) {
    return ShellUtils::quotePath(ClusterTools::kubectlPath()) + QLatin1Char(' ') + arguments;
}

QString helm(const QString& arguments) {
    return ShellUtils::quotePath(ClusterTools::helmPath()) + QLatin1Char(' ') + arguments;
}

QString requestTimeout(std::chrono::milliseconds limit) {
    return QStringLiteral(" --request-timeout=%1s")
        .arg(std::max<qint64>(1, std::chrono::ceil<std::chrono::seconds>(limit).count()));
}

// The command, logged, run within `limit`, its answer logged line by line.
CommandResult ask(const QString& command, const EnvironmentOverlay& environment,
                  std::chrono::milliseconds limit, const DevtronRemoval::LineLogger& log,
                  bool logOutput = true) {
    log(DevtronRemoval::tr("执行命令: %1").arg(command));
    CommandResult result = ShellUtils::runCommandWithEnv(command, environment, limit);
    if (logOutput) {
        for (const QString& line : result.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            log(QStringLiteral(">> ") + line);
        }
    }
    for (const QString& line : result.error.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        log(QStringLiteral("!! ") + line);
    }
    return result;
}

QString failureOf(const CommandResult& result) {
    return ClusterErrors::classify(result.error.trimmed());
}

bool isHelmOwned(const QJsonObject& metadata) {
    const QJsonObject annotations = metadata[QLatin1String("annotations")].toObject();
    return annotations[QLatin1String("meta.helm.sh/release-name")].toString() ==
               DevtronRemoval::releaseName &&
           annotations[QLatin1String("meta.helm.sh/release-namespace")].toString() ==
               DevtronRemoval::releaseNamespace;
}

// kubectl prints a single object found by name as itself, several as a List, none as nothing.
QJsonArray objectsOf(const QString& output) {
    const QJsonObject document = QJsonDocument::fromJson(output.toUtf8()).object();
    if (document.contains(QLatin1String("items"))) {
        return document[QLatin1String("items")].toArray();
    }
    return document.isEmpty() ? QJsonArray() : QJsonArray{document};
}

bool isAlreadyTerminating(const CommandResult& result) {
    return result.error.contains(QLatin1String("(Conflict)")) &&
           result.error.contains(QLatin1String("ensuring all content is removed"));
}

QString nameList(const QStringList& names) {
    return names.join(QStringLiteral(", "));
}

} // namespace

QString DevtronRemoval::helmDuration(std::chrono::milliseconds limit) {
    if (limit >= 1min && limit % 1min == 0ms) {
        return QStringLiteral("%1m").arg(
            std::chrono::duration_cast<std::chrono::minutes>(limit).count());
    }
    return QStringLiteral("%1s").arg(
        std::max<qint64>(1, std::chrono::ceil<std::chrono::seconds>(limit).count()));
}

DevtronRemoval::Items DevtronRemoval::namespacesOf(const QString& list) {
    Items items;
    for (const QJsonValue value : KubeJson::items(list)) {
        const QJsonObject metadata = value[QLatin1String("metadata")].toObject();
        const QString name = metadata[QLatin1String("name")].toString();
        const bool terminating =
            value[QLatin1String("status")][QLatin1String("phase")].toString() ==
            QLatin1String("Terminating");
        if (ownNamespaces.contains(name) || isHelmOwned(metadata)) {
            items.append({Kind::namespace_, name, Fate::remove,
                          terminating                    ? tr("正在删除中")
                          : ownNamespaces.contains(name) ? tr("Devtron创建的命名空间")
                                                         : tr("带有Devtron的Helm发布标记")});
        } else if (sharedNamespaces.contains(name)) {
            items.append({Kind::namespace_, name, Fate::keep, tr("不是Devtron创建的")});
        }
    }
    return items;
}

DevtronRemoval::Preview DevtronRemoval::preview(const EnvironmentOverlay& environment,
                                                const Limits& limits, const LineLogger& log) {
    log(tr("开始检查集群中的Devtron..."));
    Preview preview;
    const CommandResult status =
        ask(helm(QStringLiteral("status %1 -n %2 -o json").arg(releaseName, releaseNamespace)),
            environment, limits.command, log, false);
    if (status.exitCode == 0) {
        const QJsonObject release = QJsonDocument::fromJson(status.output.toUtf8()).object();
        preview.items.append(
            {Kind::release, releaseName, Fate::remove,
             tr("状态：%1，版本 %2")
                 .arg(release[QLatin1String("info")][QLatin1String("status")].toString(),
                      QString::number(release[QLatin1String("version")].toInt()))});
    } else if (!DevtronInstaller::isReleaseNotFound(status)) {
        preview.failure = tr("无法检查Helm发布：%1").arg(failureOf(status));
        return preview;
    }

    const CommandResult namespaces =
        ask(kubectl(QStringLiteral("get namespaces -o json")) + requestTimeout(limits.command),
            environment, limits.command, log, false);
    if (namespaces.exitCode != 0) {
        preview.failure = tr("无法列出命名空间：%1").arg(failureOf(namespaces));
        return preview;
    }
    preview.items.append(namespacesOf(namespaces.output));

    const CommandResult crd = ask(
        kubectl(QStringLiteral("get %1 %2 -o name --ignore-not-found").arg(crdResource, crdName)) +
            requestTimeout(limits.command),
        environment, limits.command, log);
    if (crd.exitCode != 0) {
        preview.failure = tr("无法检查CRD：%1").arg(failureOf(crd));
        return preview;
    }
    if (!crd.output.trimmed().isEmpty()) {
        preview.items.append({Kind::crd, crdName, Fate::remove, tr("Devtron安装器的资源类型")});
    }
    for (const Item& item : std::as_const(preview.items)) {
        log((item.fate == Fate::remove ? tr("将删除: %1（%2）") : tr("将保留: %1（%2）"))
                .arg(item.name, item.detail));
    }
    return preview;
}

QString DevtronRemoval::stuckReason(const QJsonObject& object) {
    QStringList finalizers;
    for (const QJsonValue& list :
         {object[QLatin1String("spec")][QLatin1String("finalizers")],
          object[QLatin1String("metadata")][QLatin1String("finalizers")]}) {
        for (const QJsonValue finalizer : list.toArray()) {
            if (!finalizers.contains(finalizer.toString())) {
                finalizers << finalizer.toString();
            }
        }
    }
    QString reason = finalizers.isEmpty()
                         ? tr("仍在删除中")
                         : tr("仍在删除中，剩余finalizer：%1").arg(nameList(finalizers));
    for (const char* type : {"NamespaceFinalizersRemaining", "NamespaceContentRemaining"}) {
        const QJsonObject condition = KubeJson::condition(object, QLatin1String(type));
        if (condition[QLatin1String("status")].toString() == QLatin1String("True")) {
            //: What holds an object being deleted, then what one of its conditions says.
            reason = tr("%1；%2").arg(reason, condition[QLatin1String("message")].toString());
        }
    }
    return reason;
}

DevtronRemoval::Items DevtronRemoval::run(const Items& preview,
                                          const EnvironmentOverlay& environment,
                                          const Limits& limits, const LineLogger& log,
                                          const Progress& progress) {
    Items items = preview;
    const auto settle = [&items](Kind kind, Fate fate, const QString& why) {
        for (Item& item : items) {
            if (item.kind == kind && item.fate == Fate::remove) {
                item.fate = fate;
                item.detail = why;
            }
        }
    };
    const auto has = [&items](Kind kind) {
        return std::any_of(items.cbegin(), items.cend(), [kind](const Item& item) {
            return item.kind == kind && item.fate == Fate::remove;
        });
    };
    log(tr("=== 开始卸载Devtron ==="));

    if (has(Kind::release)) {
        progress(tr("正在卸载Helm发布devtron..."), 0.05);
        // helm's own limit first; ours only catches a helm that does not keep to it.
        const CommandResult uninstall =
            ask(helm(QStringLiteral("uninstall %1 -n %2 --wait --timeout %3")
                         .arg(releaseName, releaseNamespace, helmDuration(limits.uninstall))),
                environment, limits.uninstall + 30s, log);
        if (uninstall.exitCode != 0) {
            settle(
                Kind::release, Fate::left,
                tr("卸载失败：%1").arg(uninstall.error.trimmed().section(QLatin1Char('\n'), -1)));
            settle(Kind::namespace_, Fate::left, tr("Helm发布未卸载，未删除"));
            settle(Kind::crd, Fate::left, tr("Helm发布未卸载，未删除"));
            log(tr("卸载Devtron失败"));
            return items;
        }
        settle(Kind::release, Fate::removed, {});
    }

    QStringList waitedFor;
    for (Item& item : items) {
        if (item.kind != Kind::namespace_ || item.fate != Fate::remove) {
            continue;
        }
        progress(tr("正在删除命名空间%1...").arg(item.name), 0.45);
        const CommandResult deleted =
            ask(kubectl(QStringLiteral("delete namespace %1 --wait=false --ignore-not-found")
                            .arg(item.name)) +
                    requestTimeout(limits.command),
                environment, limits.command, log);
        // One already on its way out answers Conflict: it is waited for like the others.
        if (deleted.exitCode == 0 || isAlreadyTerminating(deleted)) {
            waitedFor << QStringLiteral("namespace/") + item.name;
        } else {
            item.fate = Fate::left;
            item.detail = tr("删除失败：%1").arg(failureOf(deleted));
        }
    }
    if (has(Kind::crd)) {
        progress(tr("正在删除CRD..."), 0.5);
        const CommandResult deleted =
            ask(kubectl(QStringLiteral("delete %1 %2 --wait=false --ignore-not-found")
                            .arg(crdResource, crdName)) +
                    requestTimeout(limits.command),
                environment, limits.command, log);
        if (deleted.exitCode != 0) {
            settle(Kind::crd, Fate::left, tr("删除失败：%1").arg(failureOf(deleted)));
        } else {
            waitedFor << crdResource + QLatin1Char('/') + crdName;
        }
    }

    // One bounded wait for everything deleted above; what is still there at its end is reported
    // with what holds it.
    const QDeadlineTimer deadline(limits.namespaces);
    const qsizetype total = waitedFor.size();
    QJsonArray remaining;
    QString unreadable;
    while (!waitedFor.isEmpty()) {
        const auto left = std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 1));
        const CommandResult read =
            ask(kubectl(QStringLiteral("get %1 -o json --ignore-not-found")
                            .arg(waitedFor.join(QLatin1Char(' ')))) +
                    requestTimeout(std::min(left, limits.command)),
                environment, std::min(left, limits.command) + 5s, log, false);
        if (read.exitCode == 0) {
            unreadable.clear();
            remaining = objectsOf(read.output);
            QStringList present;
            for (const QJsonValue object : std::as_const(remaining)) {
                const QString kind =
                    object[QLatin1String("kind")].toString() == QLatin1String("Namespace")
                        ? QStringLiteral("namespace/")
                        : crdResource + QLatin1Char('/');
                present << kind + KubeJson::nameOf(object);
            }
            for (const QString& gone : waitedFor) {
                if (!present.contains(gone)) {
                    log(tr("已删除: %1").arg(gone.section(QLatin1Char('/'), 1)));
                    const Kind kind =
                        gone.startsWith(QLatin1String("namespace/")) ? Kind::namespace_ : Kind::crd;
                    for (Item& item : items) {
                        if (item.kind == kind && item.name == gone.section(QLatin1Char('/'), 1)) {
                            item.fate = Fate::removed;
                            item.detail.clear();
                        }
                    }
                }
            }
            waitedFor = present;
        } else {
            unreadable = failureOf(read);
        }
        if (waitedFor.isEmpty() || deadline.hasExpired()) {
            break;
        }
        QStringList names = waitedFor;
        for (QString& name : names) {
            name = name.section(QLatin1Char('/'), 1);
        }
        progress(tr("正在等待删除完成：%1").arg(nameList(names)),
                 0.55 + 0.4 * double(total - waitedFor.size()) /
                            double(std::max<qsizetype>(total, 1)));
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(
            limits.pollInterval.count(), std::max<qint64>(deadline.remainingTime(), 0))));
    }
    for (const QString& stays : std::as_const(waitedFor)) {
        const QString name = stays.section(QLatin1Char('/'), 1);
        QString why =
            unreadable.isEmpty() ? tr("仍在删除中") : tr("无法确认是否已删除：%1").arg(unreadable);
        for (const QJsonValue object : std::as_const(remaining)) {
            if (unreadable.isEmpty() && KubeJson::nameOf(object) == name) {
                why = stuckReason(object.toObject());
            }
        }
        log(tr("未能删除: %1，%2").arg(name, why));
        for (Item& item : items) {
            if (item.name == name && item.fate == Fate::remove) {
                item.fate = Fate::left;
                item.detail = why;
            }
        }
    }
    progress(tr("卸载已结束"), 1.0);
    log(succeeded(items) ? tr("Devtron已从集群中卸载 ✓") : tr("卸载未完成，部分资源仍在集群中"));
    return items;
}

bool DevtronRemoval::succeeded(const Items& result) {
    return std::none_of(result.cbegin(), result.cend(), [](const Item& item) {
        return item.fate == Fate::left || item.fate == Fate::remove;
    });
}
