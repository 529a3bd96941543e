#!/usr/bin/env bash
# Starts the installed program as a native Wayland client of a headless Weston: its window must
# map, it must write its session log, and SIGTERM must end it as closing the window does.
set -euo pipefail
cmake=$1 build=$2 weston=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-wayland.XXXXXX")
weston_pid=
program_pid=
cleanup() {
    for pid in $program_pid $weston_pid; do
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
prefix="$work/prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() {
    echo "$*"
    for f in program weston; do
        [ -f "$work/$f.log" ] && { echo "--- $f:"; tail -n 40 "$work/$f.log"; }
    done
    exit 1
}

mkdir -p "$work/home" && mkdir -m 0700 "$work/runtime"
socket=nimbrel-test
XDG_RUNTIME_DIR="$work/runtime" "$weston" --backend=headless-backend.so --socket="$socket" \
    --no-config --idle-time=0 >"$work/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [ -S "$work/runtime/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || fail "Weston did not start"
    sleep 0.1
done
[ -S "$work/runtime/$socket" ] || fail "Weston made no socket"

# The client side of the protocol, as libwayland prints it, shows what the window went through.
# Job control, so that the background program does not start with SIGINT ignored.
set -m
env -u DISPLAY HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY="$socket" \
    XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=wayland \
    WAYLAND_DEBUG=client "$prefix/bin/nimbrel" >"$work/program.log" 2>&1 &
program_pid=$!

# Mapped: the toplevel named "Nimbrel" took the compositor's configuration and then a buffer.
mapped() {
    awk '/xdg_toplevel@[0-9]+\.set_title\("Nimbrel"\)/ { titled = 1 }
         titled && /xdg_surface@[0-9]+\.ack_configure\(/ { acked = 1 }
         acked && /wl_surface@[0-9]+\.attach\(wl_buffer@/ { found = 1; exit }
         END { exit !found }' "$work/program.log"
}
for _ in $(seq 150); do
    mapped && break
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window mapped"
    sleep 0.1
done
mapped || fail "the program's window did not map on Wayland"
log="$work/state/nimbrel/devtron_install.log"
grep -q "=== Nimbrel 安装日志 ===" "$log" 2>/dev/null || fail "no session log header in $log"

sleep 1
kill -0 "$program_pid" 2>/dev/null || fail "the program ended early"
kill -TERM "$program_pid"
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "the program ignored SIGTERM"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq $((128 + 15)) ] || fail "the program ended with status $status, not by SIGTERM"
