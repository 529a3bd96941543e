#include "session/DevtronChoices.h"

QString DevtronChoices::variantName(DevtronVariant variant) {
    switch (variant) {
    case DevtronVariant::minimal:
        return tr("最小安装");
    case DevtronVariant::cicd:
        return tr("CI/CD");
    case DevtronVariant::gitops:
        return tr("CI/CD与GitOps");
    }
    return {};
}

QString DevtronChoices::sourceName(ManifestSource source) {
    return source == ManifestSource::gitee ? QStringLiteral("Gitee") : QStringLiteral("GitHub");
}

QString DevtronChoices::variantKey(DevtronVariant variant) {
    switch (variant) {
    case DevtronVariant::minimal:
        return QStringLiteral("minimal");
    case DevtronVariant::cicd:
        return QStringLiteral("cicd");
    case DevtronVariant::gitops:
        return QStringLiteral("gitops");
    }
    return {};
}

QString DevtronChoices::sourceKey(ManifestSource source) {
    return source == ManifestSource::gitee ? QStringLiteral("gitee") : QStringLiteral("github");
}

double DevtronChoices::minimumCpuCores(DevtronVariant variant) {
    return variant == DevtronVariant::minimal ? 1.0 : 2.0;
}

double DevtronChoices::minimumMemoryBytes(DevtronVariant variant) {
    return variant == DevtronVariant::minimal ? 1e9 : 6e9;
}

QString DevtronChoices::summary(DevtronVariant variant, ManifestSource source) {
    //: %1 is the variant (for example CI/CD), %2 where the manifests come from (GitHub, Gitee).
    return tr("Devtron版本: %1，安装来源: %2").arg(variantName(variant), sourceName(source));
}
