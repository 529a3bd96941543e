#!/usr/bin/env bash
# Sets up and builds like scripts/setup.sh, then starts Nimbrel.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
build_dir=${NIMBREL_BUILD_DIR:-$root/build}

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set). To run Nimbrel in a virtual X server: xvfb-run -a scripts/run.sh"
    exit 1
fi

exec "$build_dir/bin/nimbrel"
