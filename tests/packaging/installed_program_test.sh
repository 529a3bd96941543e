#!/usr/bin/env bash
# Installs the build into an empty prefix whose path holds a blank and Chinese characters, checks
# the installed tree, then starts the installed program: it must find its tools there, keep running
# and end by SIGTERM, SIGINT and SIGHUP; and as a native client of a headless Weston its window
# must map. It speaks English when the user's languages put English first, Chinese otherwise.
set -euo pipefail
cmake=$1 build=$2 id=$3 weston=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-install.XXXXXX")
weston_pid=
trap '[ -n "$weston_pid" ] && kill -KILL "$weston_pid" 2>/dev/null; rm -rf "$work"' EXIT
prefix="$work/安装 目录"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "$*"; for f in out weston; do [ -f "$work/$f" ] && tail -n 40 "$work/$f"; done; exit 1; }
for f in bin/nimbrel lib/nimbrel/tools/{kubectl,helm,devtron-charts/install.sh}; do
    [ -f "$prefix/$f" ] && [ -x "$prefix/$f" ] || fail "not installed as a program: $f"
done
# Loaded when the keychain or the address probe is first needed, so a start alone would not miss it.
[ -s "$prefix/lib/nimbrel/plugins/libnimbrel_services.so" ] || fail "not installed: the services plugin"
for f in applications/$id.desktop metainfo/$id.metainfo.xml icons/hicolor/scalable/apps/$id.svg; do
    [ -s "$prefix/share/$f" ] || fail "not installed: share/$f"
done

mkdir -p "$work/home" && mkdir -m 0700 "$work/runtime"
socket=nimbrel-test
XDG_RUNTIME_DIR="$work/runtime" "$weston" --backend=headless-backend.so --socket="$socket" \
    --no-config --idle-time=0 >"$work/weston" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [ -S "$work/runtime/$socket" ] && break; sleep 0.1; done
[ -S "$work/runtime/$socket" ] || fail "Weston made no socket"

# Mapped on Wayland: the toplevel named "Nimbrel" took the compositor's configuration and then a
# buffer, as libwayland's client trace shows.
mapped() {
    awk '/xdg_toplevel@[0-9]+\.set_title\("Nimbrel"\)/ { titled = 1 }
         titled && /xdg_surface@[0-9]+\.ack_configure\(/ { acked = 1 }
         acked && /wl_surface@[0-9]+\.attach\(wl_buffer@/ { found = 1; exit }
         END { exit !found }' "$work/out"
}

# Job control, so that the background program does not start with SIGINT ignored.
set -m
for run in "offscreen TERM zh_CN" "offscreen INT en_GB:zh_CN" "offscreen HUP C" "wayland TERM en"; do
    read -r platform signal language <<<"$run"
    rm -f "$work/state/nimbrel/devtron_install.log"
    env -u DISPLAY HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY="$socket" \
        XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM="$platform" \
        LANGUAGE="$language" \
        WAYLAND_DEBUG=client "$prefix/bin/nimbrel" >"$work/out" 2>&1 &
    pid=$!
    sleep 3
    kill -0 "$pid" 2>/dev/null || fail "the installed program ended early on $platform"
    [ "$platform" != wayland ] || mapped || fail "the program's window did not map on Wayland"
    [ -s "$work/state/nimbrel/devtron_install.log" ] || fail "no session log on $platform"
    title="=== Nimbrel 安装日志 ==="
    [ "${language:0:2}" = en ] && title="=== Nimbrel installation log ==="
    grep -qF "] $title" "$work/state/nimbrel/devtron_install.log" || fail "the log is not in $language"
    kill -"$signal" "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "the installed program ignored SIG$signal"; }
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq $((128 + $(kill -l "$signal"))) ] ||
        fail "the installed program ended with status $status, not by SIG$signal"
done
! grep -qE "应用内置工具不存在|bundled tool is missing" "$work/out" ||
    fail "the installed program did not find its tools"
