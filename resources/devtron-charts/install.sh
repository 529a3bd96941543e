#!/bin/bash
# Installs Devtron into the cluster named by KUBECONFIG, as release "devtron" in namespace "devtroncd".
# DEVTRON_CHART may name a local chart folder or archive to install instead (air-gapped clusters,
# demos, tests); then no network is touched. Exit status 0 means installed; on failure the reason
# goes to standard error.
set -uo pipefail

release=devtron
namespace=devtroncd

fail() {
    echo "install.sh: $*" >&2
    exit 1
}

command -v helm >/dev/null 2>&1 || fail "helm was not found on PATH ($PATH)"
command -v kubectl >/dev/null 2>&1 || fail "kubectl was not found on PATH ($PATH)"

if [ -n "${DEVTRON_CHART:-}" ]; then
    if [ ! -d "$DEVTRON_CHART" ] && [ ! -f "$DEVTRON_CHART" ]; then
        fail "the chart named by DEVTRON_CHART does not exist: $DEVTRON_CHART"
    fi
    echo "Installing the local chart $DEVTRON_CHART as release $release in namespace $namespace"
    helm install "$release" "$DEVTRON_CHART" --create-namespace --namespace "$namespace" \
        || fail "helm install of $DEVTRON_CHART failed"
    exit 0
fi

echo "Adding the Devtron chart repository"
helm repo add devtron https://helm.devtron.ai || fail "helm repo add failed"
helm repo update devtron || fail "helm repo update failed"
echo "Installing devtron/devtron-operator as release $release in namespace $namespace"
helm install "$release" devtron/devtron-operator --create-namespace --namespace "$namespace" \
    --set 'installer.modules={cicd}' \
    || fail "helm install of devtron/devtron-operator failed"
