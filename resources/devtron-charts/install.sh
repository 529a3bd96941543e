#!/bin/bash
# Installs Devtron into the cluster named by KUBECONFIG, as release "devtron" in namespace "devtroncd".
# DEVTRON_CHART may name a local chart folder or archive to install instead (air-gapped clusters,
# demos, tests); then no network is touched. DEVTRON_VARIANT (minimal, cicd, gitops; cicd when
# unset) and DEVTRON_SOURCE (github, gitee; github when unset) choose the chart's values, for either
# chart. Exit status 0 means installed; on failure the reason goes to standard error.
set -uo pipefail

release=devtron
namespace=devtroncd

fail() {
    echo "install.sh: $*" >&2
    exit 1
}

# Exactly the values Devtron documents for each choice; anything else is refused, never guessed.
values=()
variant=${DEVTRON_VARIANT:-cicd}
case "$variant" in
    minimal) ;;
    cicd) values+=(--set 'installer.modules={cicd}') ;;
    gitops) values+=(--set 'installer.modules={cicd}' --set 'argo-cd.enabled=true') ;;
    *) fail "unknown DEVTRON_VARIANT: $variant (expected minimal, cicd or gitops)" ;;
esac
manifests=${DEVTRON_SOURCE:-github}
case "$manifests" in
    github) ;;
    gitee) values+=(--set 'installer.source=gitee') ;;
    *) fail "unknown DEVTRON_SOURCE: $manifests (expected github or gitee)" ;;
esac
echo "Devtron variant $variant, manifests from $manifests; helm values: ${values[*]:-(none)}"

command -v helm >/dev/null 2>&1 || fail "helm was not found on PATH ($PATH)"
command -v kubectl >/dev/null 2>&1 || fail "kubectl was not found on PATH ($PATH)"

if [ -n "${DEVTRON_CHART:-}" ]; then
    if [ ! -d "$DEVTRON_CHART" ] && [ ! -f "$DEVTRON_CHART" ]; then
        fail "the chart named by DEVTRON_CHART does not exist: $DEVTRON_CHART"
    fi
    echo "Installing the local chart $DEVTRON_CHART as release $release in namespace $namespace"
    helm install "$release" "$DEVTRON_CHART" --create-namespace --namespace "$namespace" \
        "${values[@]}" \
        || fail "helm install of $DEVTRON_CHART failed"
    exit 0
fi

echo "Adding the Devtron chart repository"
helm repo add devtron https://helm.devtron.ai || fail "helm repo add failed"
helm repo update devtron || fail "helm repo update failed"
echo "Installing devtron/devtron-operator as release $release in namespace $namespace"
helm install "$release" devtron/devtron-operator --create-namespace --namespace "$namespace" \
    "${values[@]}" \
    || fail "helm install of devtron/devtron-operator failed"
