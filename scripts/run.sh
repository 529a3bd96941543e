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
# exporter the Devtron with a service exporter instead.
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
state_dir=$build_dir/demo-cluster
kubeconfig=$build_dir/demo-kubeconfig
ready_file=$state_dir/ready.json
mkdir -p "$state_dir"
rm -f "$ready_file"
# kubectl keeps what a server offers per address; an emulator of the other flavour may have had
# this port before.
export KUBECACHEDIR=$state_dir/kube-cache
rm -rf "$KUBECACHEDIR"

"$python" "$root/scripts/cluster-emulator/cluster_emulator.py" --state-dir "$state_dir" \
    --kubeconfig "$kubeconfig" --ready-file "$ready_file" --parent-pid $$ \
    --scenario "${NIMBREL_DEMO_SCENARIO:-healthy}" --flavour "${NIMBREL_DEMO_FLAVOUR:-upstream}" \
    --service-shape "${NIMBREL_DEMO_SERVICE:-pending-lb}" >/dev/null &
emulator_pid=$!
stop_emulator() {
    kill "$emulator_pid" 2>/dev/null || true
    wait "$emulator_pid" 2>/dev/null || true
}
trap stop_emulator EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

for _ in $(seq 1 300); do
    [ -s "$ready_file" ] && break
    if ! kill -0 "$emulator_pid" 2>/dev/null; then
        echo "The demo cluster emulator did not start (see the messages above). NIMBREL_DEMO=0 starts Nimbrel without it." >&2
        exit 1
    fi
    sleep 0.1
done
if [ ! -s "$ready_file" ]; then
    echo "The demo cluster emulator did not become ready. NIMBREL_DEMO=0 starts Nimbrel without it." >&2
    exit 1
fi

# The stand-in chart refuses any cluster but the emulator, so a real kubeconfig picked by
# mistake in the demo gets a clear failure instead of a stand-in installation.
export DEVTRON_CHART=$root/scripts/cluster-emulator/devtron-standin
echo "Demo cluster: $(sed -n 's/.*"server": "\([^"]*\)".*/\1/p' "$ready_file")"
echo "Demo kubeconfig (choose it in the first step): $kubeconfig"
echo "For a real cluster run: NIMBREL_DEMO=0 scripts/run.sh"

status=0
"$build_dir/bin/nimbrel" || status=$?
exit "$status"
