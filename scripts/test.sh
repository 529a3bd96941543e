#!/usr/bin/env bash
# Sets up and builds like scripts/setup.sh, then runs the whole test suite inside a private D-Bus
# session with a real GNOME Keyring, in a throw-away HOME so that no test touches the user's files.
# Extra arguments go to ctest (for example: -L e2e, -R Shell).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
build_dir=${NIMBREL_BUILD_DIR:-$root/build}

sandbox=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-test.XXXXXX")
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/home" "$sandbox/runtime"
chmod 0700 "$sandbox/runtime"

export HOME=$sandbox/home XDG_RUNTIME_DIR=$sandbox/runtime
export XDG_STATE_HOME=$sandbox/home/.local/state XDG_CONFIG_HOME=$sandbox/home/.config
export XDG_DATA_HOME=$sandbox/home/.local/share XDG_CACHE_HOME=$sandbox/home/.cache
export QT_QPA_PLATFORM=offscreen
unset DISPLAY WAYLAND_DISPLAY

# The keyring's password must not be empty: with an empty one no collection is created.
exec dbus-run-session -- bash -c '
    printf %s nimbrel-test | gnome-keyring-daemon --unlock --components=secrets >/dev/null
    cd "$0" && ctest --output-on-failure --timeout 300 -j "$(nproc)" "$@"
' "$build_dir" "$@"
