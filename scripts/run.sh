#!/usr/bin/env bash
# Sets up and builds like scripts/setup.sh, then starts Nimbrel.
#
# By default Nimbrel starts beside a local cluster emulator (scripts/cluster-emulator), so that the whole
# wizard can be walked without a Kubernetes cluster: choose the demo kubeconfig whose path is
# printed below, and the installation step installs a small stand-in chart instead of Devtron.
# NIMBREL_DEMO=0 starts Nimbrel alone, for a real cluster. NIMBREL_DEMO_SCENARIO names another shape
# of the emulated cluster than the healthy one (see the emulator's description), e.g. small-nodes.
# The emulated Devtron is the one Devtron's own installer sets up, its Service a LoadBalancer that
# never gets an address, so that the local tunnel shows; NIMBREL_DEMO_SERVICE names another shape
# of that Service (lb-ip, lb-hostname, lb-silent, nodeport, clusterip), and NIMBREL_DEMO_FLAVOUR=
# exporter the Devtron with a service exporter instead. NIMBREL_DEMO_RELEASE leaves an earlier
# installation in that state (failed, pending-install, deployed, ...). NIMBREL_DEMO_CONTEXTS=1 starts
# a second emulated cluster and gives a kubeconfig with three contexts: work (the first cluster,
# current), staging and staging-exec (the second one, the latter through an exec plugin).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
build_dir=${NIMBREL_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set). To run Nimbrel in a virtual X server: xvfb-run -a scripts/run.sh"
    exit 1
fi

if [ "${NIMBREL_DEMO:-1}" = "0" ]; then
    exec "$build_dir/bin/nimbrel"
fi

python=/usr/bin/python3
[ -x "$python" ] || python=$(command -v python3)
kubeconfig=$build_dir/demo-kubeconfig
# kubectl keeps what a server offers per address; an emulator of the other flavour may have had
# this port before.
export KUBECACHEDIR=$build_dir/demo-cluster/kube-cache
rm -rf "$KUBECACHEDIR"
emulator_pids=()
stop_emulators() {
    for pid in "${emulator_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_emulators EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# start_emulator STATE_DIR KUBECONFIG [OPTION ...]: waits until the emulator answers.
start_emulator() {
    local state_dir=$1 file=$2
    shift 2
    local ready_file=$state_dir/ready.json
    mkdir -p "$state_dir"
    rm -f "$ready_file"
    "$python" "$root/scripts/cluster-emulator/cluster_emulator.py" --state-dir "$state_dir" \
        --kubeconfig "$file" --ready-file "$ready_file" --parent-pid $$ "$@" >/dev/null &
    local pid=$!
    emulator_pids+=("$pid")
    for _ in $(seq 1 300); do
        [ -s "$ready_file" ] && break
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "The demo cluster emulator did not start (see the messages above). NIMBREL_DEMO=0 starts Nimbrel without it." >&2
            exit 1
        fi
        sleep 0.1
    done
    if [ ! -s "$ready_file" ]; then
        echo "The demo cluster emulator did not become ready. NIMBREL_DEMO=0 starts Nimbrel without it." >&2
        exit 1
    fi
    echo "Demo cluster: $(sed -n 's/.*"server": "\([^"]*\)".*/\1/p' "$ready_file")"
}

options=(--scenario "${NIMBREL_DEMO_SCENARIO:-healthy}" --flavour "${NIMBREL_DEMO_FLAVOUR:-upstream}"
    --service-shape "${NIMBREL_DEMO_SERVICE:-pending-lb}")
[ -n "${NIMBREL_DEMO_RELEASE:-}" ] && options+=(--release "$NIMBREL_DEMO_RELEASE")
if [ "${NIMBREL_DEMO_CONTEXTS:-0}" = "1" ]; then
    start_emulator "$build_dir/demo-cluster" "$build_dir/demo-cluster/work.kubeconfig" "${options[@]}"
    start_emulator "$build_dir/demo-cluster-b" "$build_dir/demo-cluster-b/staging.kubeconfig" "${options[@]}"
    rm -f "$kubeconfig"
    "$python" "$root/scripts/cluster-emulator/cluster_emulator.py" multi-kubeconfig "$kubeconfig" \
        --cluster-a "$build_dir/demo-cluster/work.kubeconfig" \
        --cluster-b "$build_dir/demo-cluster-b/staging.kubeconfig" \
        --kubectl "$build_dir/lib/nimbrel/tools/kubectl" >/dev/null
else
    start_emulator "$build_dir/demo-cluster" "$kubeconfig" "${options[@]}"
fi

# The stand-in chart refuses any cluster but the emulator, so a real kubeconfig picked by
# mistake in the demo gets a clear failure instead of a stand-in installation.
export DEVTRON_CHART=$root/scripts/cluster-emulator/devtron-standin
echo "Demo kubeconfig (choose it in the first step): $kubeconfig"
echo "For a real cluster run: NIMBREL_DEMO=0 scripts/run.sh"

status=0
"$build_dir/bin/nimbrel" || status=$?
exit "$status"
