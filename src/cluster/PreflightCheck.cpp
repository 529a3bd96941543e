#include "cluster/PreflightCheck.h"

#include "cluster/KubeJson.h"

#include "installer/DevtronInstaller.h"
#include "shell/ClusterErrors.h"
#include "shell/ClusterTools.h"
#include "shell/Services.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

namespace {

using Result = PreflightCheck::Result;
using State = PreflightCheck::State;
using Item = PreflightCheck::Item;

QString versionTitle() {
    return QCoreApplication::translate("PreflightCheck", "Kubernetes版本");
}
QString permissionsTitle() {
    return QCoreApplication::translate("PreflightCheck", "安装权限");
}
QString storageTitle() {
    return QCoreApplication::translate("PreflightCheck", "存储");
}
QString capacityTitle() {
    return QCoreApplication::translate("PreflightCheck", "节点资源");
}
QString chartRepositoryTitle() {
    return QCoreApplication::translate("PreflightCheck", "Chart仓库");
}
QString releaseTitle() {
    return QCoreApplication::translate("PreflightCheck", "已有安装");
}
QString retryRemedy() {
    return QCoreApplication::translate("PreflightCheck", "请确认集群可以访问后重试");
}
QString deployedCause() {
    return QCoreApplication::translate("PreflightCheck", "集群中已经部署了Devtron");
}

// A question the cluster did not answer: a warning that says so.
Result unanswered(Item item, const QString& title, const QString& what,
                  const CommandResult& result) {
    return {item, State::warning, title,
            what + QStringLiteral(": ") + ClusterErrors::classify(result.error.trimmed()),
            retryRemedy()};
}

std::optional<QJsonObject> jsonObject(const QString& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return std::nullopt;
    }
    return document.object();
}

QString gigabytes(double bytes) {
    return QString::number(bytes / 1e9, 'f', 1) + QStringLiteral(" GB");
}

QString cores(double count) {
    // Plural forms count whole things: a fraction of a core reads like several ("1.5 cores").
    const int forms = count == std::floor(count) ? static_cast<int>(count) : 2;
    return QCoreApplication::translate("PreflightCheck", "%1 核", nullptr, forms)
        .arg(QString::number(count, 'g', 3));
}

// Cordoned, or tainted so that no ordinary pod lands there.
bool isSchedulable(const QJsonObject& node) {
    const QJsonObject nodeFields = node[QLatin1String("spec")].toObject();
    if (nodeFields[QLatin1String("unschedulable")].toBool()) {
        return false;
    }
    for (const QJsonValue taint : nodeFields[QLatin1String("taints")].toArray()) {
        const QString effect = taint[QLatin1String("effect")].toString();
        if (effect == QLatin1String("NoSchedule") || effect == QLatin1String("NoExecute")) {
            return false;
        }
    }
    return true;
}

} // namespace

const QStringList& PreflightCheck::requiredResources() {
    static const QStringList resources{
        QStringLiteral("namespaces"),
        QStringLiteral("customresourcedefinitions.apiextensions.k8s.io"),
        QStringLiteral("clusterrolebindings.rbac.authorization.k8s.io"),
    };
    return resources;
}

PreflightCheck::Results PreflightCheck::run(const EnvironmentOverlay& environment,
                                            std::chrono::milliseconds timeLimit,
                                            const LineLogger& log, DevtronVariant variant) {
    const auto ask = [&](const QString& command) {
        log(tr("执行命令: %1").arg(command));
        return ShellUtils::runCommandWithEnv(command, environment, timeLimit);
    };
    log(tr("开始安装前检查..."));
    Results results;
    results << checkVersion(ask(ClusterTools::serverVersionCommand()));
    QList<std::pair<QString, CommandResult>> answers;
    for (const QString& resource : requiredResources()) {
        answers.append({resource, ask(ClusterTools::canICreateCommand(resource))});
    }
    results << checkPermissions(answers);
    results << checkStorage(ask(ClusterTools::storageClassesCommand()));
    results << checkCapacity(ask(ClusterTools::nodesCommand()), variant);
    results << checkRelease(ask(ClusterTools::releaseHistoryCommand()));
    // A chart given with DEVTRON_CHART needs no repository.
    if (qEnvironmentVariableIsEmpty("DEVTRON_CHART")) {
        const QUrl repository = chartRepository();
        log(tr("检查Chart仓库: %1").arg(repository.toString()));
        results << checkChartRepository(repository, std::min(timeLimit, chartRepositoryTimeLimit));
    }
    for (const Result& result : std::as_const(results)) {
        static const QString marks[] = {QStringLiteral("✓"), QStringLiteral("⚠️"),
                                        QStringLiteral("✗")};
        //: The check's title, a mark for its state, what was found.
        log(tr("检查 %1 %2 %3")
                .arg(result.title, marks[static_cast<int>(result.state)], result.cause));
    }
    return results;
}

PreflightCheck::Result PreflightCheck::checkVersion(const CommandResult& version) {
    if (version.exitCode != 0) {
        return unanswered(Item::version, versionTitle(), tr("无法读取集群版本"), version);
    }
    const auto document = jsonObject(version.output);
    const QJsonObject server =
        document ? (*document)[QLatin1String("serverVersion")].toObject() : QJsonObject();
    bool majorOk = false;
    bool minorOk = false;
    const int major = server[QLatin1String("major")].toString().toInt(&majorOk);
    // Managed clusters append "+" to the minor version ("27+").
    QString minorText = server[QLatin1String("minor")].toString();
    minorText.remove(QRegularExpression(QStringLiteral("\\D+$")));
    const int minor = minorText.toInt(&minorOk);
    if (!majorOk || !minorOk) {
        return {Item::version, State::warning, versionTitle(), tr("无法识别集群返回的版本信息"),
                retryRemedy()};
    }
    const QString shown = QStringLiteral("v%1.%2").arg(major).arg(minor);
    if (major < 1 || (major == 1 && minor < minimumMinorVersion)) {
        return {Item::version, State::failed, versionTitle(),
                tr("集群版本 %1 低于Devtron要求的 v1.%2").arg(shown).arg(minimumMinorVersion),
                tr("请将集群升级到 v1.%1 或更高版本").arg(minimumMinorVersion)};
    }
    return {Item::version, State::passed, versionTitle(), tr("集群版本 %1").arg(shown), {}};
}

PreflightCheck::Result
PreflightCheck::checkPermissions(const QList<std::pair<QString, CommandResult>>& answers) {
    QStringList denied;
    for (const auto& [resource, answer] : answers) {
        const QString said = answer.output.trimmed();
        if (answer.exitCode == 0 && said == QLatin1String("yes")) {
            continue;
        }
        // "no" with exit status 1 is a plain refusal; anything else means no answer at all.
        if (said.startsWith(QLatin1String("no"))) {
            denied << resource.section(QLatin1Char('.'), 0, 0);
            continue;
        }
        return unanswered(Item::permissions, permissionsTitle(), tr("无法检查安装权限"), answer);
    }
    if (!denied.isEmpty()) {
        return {Item::permissions, State::failed, permissionsTitle(),
                tr("当前用户无权创建: %1").arg(denied.join(QStringLiteral(", "))),
                tr("请使用具有集群管理员权限的kubeconfig")};
    }
    return {Item::permissions,
            State::passed,
            permissionsTitle(),
            tr("可以创建命名空间、CRD和集群角色绑定"),
            {}};
}

PreflightCheck::Result PreflightCheck::checkStorage(const CommandResult& storageClasses) {
    if (storageClasses.exitCode != 0) {
        return unanswered(Item::storage, storageTitle(), tr("无法列出StorageClass"),
                          storageClasses);
    }
    const auto document = jsonObject(storageClasses.output);
    if (!document) {
        return {Item::storage, State::warning, storageTitle(),
                tr("无法识别集群返回的StorageClass列表"), retryRemedy()};
    }
    for (const QJsonValue item : (*document)[QLatin1String("items")].toArray()) {
        const QJsonObject metadata = item[QLatin1String("metadata")].toObject();
        const QJsonObject annotations = metadata[QLatin1String("annotations")].toObject();
        for (const char* key : {"storageclass.kubernetes.io/is-default-class",
                                "storageclass.beta.kubernetes.io/is-default-class"}) {
            if (annotations[QLatin1String(key)].toString() == QLatin1String("true")) {
                return {Item::storage,
                        State::passed,
                        storageTitle(),
                        tr("默认StorageClass: %1").arg(metadata[QLatin1String("name")].toString()),
                        {}};
            }
        }
    }
    return {Item::storage, State::warning, storageTitle(),
            tr("没有默认StorageClass，Devtron的数据库卷将一直处于Pending状态"),
            tr("请为集群设置默认StorageClass（注解 "
               "storageclass.kubernetes.io/is-default-class=true）")};
}

PreflightCheck::Result PreflightCheck::checkCapacity(const CommandResult& nodes,
                                                     DevtronVariant variant) {
    if (nodes.exitCode != 0) {
        return unanswered(Item::capacity, capacityTitle(), tr("无法列出节点"), nodes);
    }
    const auto document = jsonObject(nodes.output);
    if (!document) {
        return {Item::capacity, State::warning, capacityTitle(), tr("无法识别集群返回的节点列表"),
                retryRemedy()};
    }
    double cpu = 0.0;
    double memory = 0.0;
    int counted = 0;
    for (const QJsonValue value : (*document)[QLatin1String("items")].toArray()) {
        const QJsonObject node = value.toObject();
        if (!KubeJson::isConditionTrue(node, QLatin1String("Ready")) || !isSchedulable(node)) {
            continue;
        }
        const QJsonObject allocatable =
            node[QLatin1String("status")][QLatin1String("allocatable")].toObject();
        cpu += cpuCores(allocatable[QLatin1String("cpu")].toString()).value_or(0.0);
        memory += memoryBytes(allocatable[QLatin1String("memory")].toString()).value_or(0.0);
        ++counted;
    }
    const QString figures = tr("%n个可调度节点，可用 CPU %1、内存 %2", nullptr, counted)
                                .arg(cores(cpu), gigabytes(memory));
    const double minimumCpu = DevtronChoices::minimumCpuCores(variant);
    const double minimumMemory = DevtronChoices::minimumMemoryBytes(variant);
    if (cpu < minimumCpu || memory < minimumMemory) {
        return {Item::capacity, State::warning, capacityTitle(),
                //: %1 is what the nodes offer; %2 is the chosen variant; %3 and %4 are the CPU
                //: and memory it asks for.
                tr("%1，低于Devtron（%2）建议的 %3、%4")
                    .arg(figures, DevtronChoices::variantName(variant), cores(minimumCpu),
                         gigabytes(minimumMemory)),
                tr("请添加节点或换用更大的节点，否则部分Pod可能无法调度")};
    }
    return {Item::capacity, State::passed, capacityTitle(), figures, {}};
}

QUrl PreflightCheck::chartRepository() {
    const QString local = qEnvironmentVariable("NIMBREL_CHART_REPO_URL");
    return QUrl(local.isEmpty() ? QStringLiteral("https://helm.devtron.ai") : local);
}

PreflightCheck::Result PreflightCheck::checkChartRepository(const QUrl& repository,
                                                            std::chrono::milliseconds limit) {
    QUrl index = repository;
    QString path = repository.path();
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    index.setPath(path + QStringLiteral("index.yaml"));
    QString failure;
    ServicesPlugin* services = Services::plugin(&failure);
    if (services != nullptr) {
        const std::optional<QString> error = services->fetchOnce(index, limit);
        if (!error) {
            return {Item::chartRepository,
                    State::passed,
                    chartRepositoryTitle(),
                    tr("可以访问 %1").arg(repository.toString()),
                    {}};
        }
        failure = *error;
    }
    //: %1 is the chart repository's address, %2 what went wrong.
    return {Item::chartRepository, State::warning, chartRepositoryTitle(),
            tr("无法访问Devtron的Chart仓库 %1：%2").arg(repository.toString(), failure),
            tr("本机无法访问该仓库时，可以用环境变量DEVTRON_CHART指定本地Chart后重新启动")};
}

PreflightCheck::Result PreflightCheck::checkRelease(const CommandResult& history) {
    if (history.exitCode != 0) {
        if (DevtronInstaller::isReleaseNotFound(history)) {
            return {
                Item::release, State::passed, releaseTitle(), tr("集群中没有已部署的Devtron"), {}};
        }
        return unanswered(Item::release, releaseTitle(), tr("无法检查已有安装"), history);
    }
    const std::optional<ReleaseRecord> record = ReleaseRecord::fromHistoryJson(history.output);
    if (!record) {
        return {Item::release, State::warning, releaseTitle(), tr("无法识别Helm返回的发布记录"),
                retryRemedy()};
    }
    if (record->isDeployed()) {
        return {Item::release, State::warning, releaseTitle(), deployedCause(),
                tr("可以读取现有安装的访问信息，无需重新安装")};
    }
    // helm install refuses a name that any record still holds, whatever its state.
    return {Item::release,
            State::failed,
            releaseTitle(),
            tr("上次安装未完成，Devtron发布处于%1").arg(record->describe()),
            tr("需要先清理这个发布才能重新安装"),
            record};
}

PreflightCheck::Result PreflightCheck::targetRow(const QString& clusterTarget) {
    return {Item::target, State::passed, tr("目标集群"), clusterTarget, {}};
}

bool PreflightCheck::hasFailure(const Results& results) {
    return std::any_of(results.cbegin(), results.cend(),
                       [](const Result& r) { return r.state == State::failed; });
}

bool PreflightCheck::hasWarning(const Results& results) {
    return std::any_of(results.cbegin(), results.cend(),
                       [](const Result& r) { return r.state == State::warning; });
}

bool PreflightCheck::foundExistingRelease(const Results& results) {
    return std::any_of(results.cbegin(), results.cend(), [](const Result& r) {
        return r.item == Item::release && r.state == State::warning && r.cause == deployedCause();
    });
}

std::optional<ReleaseRecord> PreflightCheck::brokenRelease(const Results& results) {
    for (const Result& result : results) {
        if (result.item == Item::release && result.state == State::failed) {
            return result.brokenRelease;
        }
    }
    return std::nullopt;
}

std::optional<double> PreflightCheck::cpuCores(const QString& quantity) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d+(?:\\.\\d+)?)(m|)$"));
    const QRegularExpressionMatch match = pattern.match(quantity.trimmed());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const double number = match.captured(1).toDouble();
    return match.captured(2).isEmpty() ? number : number / 1000.0;
}

std::optional<double> PreflightCheck::memoryBytes(const QString& quantity) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d+(?:\\.\\d+)?)(Ki|Mi|Gi|Ti|k|M|G|T|)$"));
    const QRegularExpressionMatch match = pattern.match(quantity.trimmed());
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    static const QHash<QString, double> factors{{QString(), 1.0},
                                                {QStringLiteral("k"), 1e3},
                                                {QStringLiteral("M"), 1e6},
                                                {QStringLiteral("G"), 1e9},
                                                {QStringLiteral("T"), 1e12},
                                                {QStringLiteral("Ki"), 1024.0},
                                                {QStringLiteral("Mi"), 1048576.0},
                                                {QStringLiteral("Gi"), 1073741824.0},
                                                {QStringLiteral("Ti"), 1099511627776.0}};
    return match.captured(1).toDouble() * factors.value(match.captured(2));
}
