#pragma once

#include <QCoreApplication>
#include <QString>

// What Devtron's chart installs: the dashboard alone, or with the CI/CD module, or with CI/CD and
// GitOps (Argo CD).
enum class DevtronVariant { minimal, cicd, gitops };
// Where Devtron's installer fetches its manifests from inside the cluster.
enum class ManifestSource { github, gitee };

// The words and figures of each choice, for the screens, the log and the installation script.
class DevtronChoices {
    Q_DECLARE_TR_FUNCTIONS(DevtronChoices)

public:
    DevtronChoices() = delete;

    static QString variantName(DevtronVariant variant);
    static QString sourceName(ManifestSource source);
    // The values install.sh reads from DEVTRON_VARIANT and DEVTRON_SOURCE.
    static QString variantKey(DevtronVariant variant);
    static QString sourceKey(ManifestSource source);
    // What Devtron documents for the variant's nodes, in cores and bytes.
    static double minimumCpuCores(DevtronVariant variant);
    static double minimumMemoryBytes(DevtronVariant variant);
    // "Devtron版本: …，安装来源: …", for the log and the completion screen.
    static QString summary(DevtronVariant variant, ManifestSource source);
};
