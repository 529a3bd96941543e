#!/usr/bin/env bash
# Installs the build into an empty prefix whose path holds a blank and Chinese characters, checks
# the installed tree, then starts the installed program: it must find its tools there, keep running
# and end by SIGTERM, SIGINT and SIGHUP.
set -euo pipefail
cmake=$1 build=$2 id=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/nimbrel-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix="$work/安装 目录"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "$*"; [ -f "$work/out" ] && cat "$work/out"; exit 1; }
for f in bin/nimbrel lib/nimbrel/tools/{kubectl,helm,devtron-charts/install.sh}; do
    [ -f "$prefix/$f" ] && [ -x "$prefix/$f" ] || fail "not installed as a program: $f"
done
for f in applications/$id.desktop metainfo/$id.metainfo.xml icons/hicolor/scalable/apps/$id.svg; do
    [ -s "$prefix/share/$f" ] || fail "not installed: share/$f"
done

mkdir -p "$work/home" "$work/runtime" && chmod 0700 "$work/runtime"
# Job control, so that the background program does not start with SIGINT ignored.
set -m
for signal in TERM INT HUP; do
    env -u DISPLAY -u WAYLAND_DISPLAY HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen \
        "$prefix/bin/nimbrel" >"$work/out" 2>&1 &
    pid=$!
    sleep 3
    kill -0 "$pid" 2>/dev/null || fail "the installed program ended early"
    kill -"$signal" "$pid"
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { kill -KILL "$pid"; fail "the installed program ignored SIG$signal"; }
    status=0
    wait "$pid" || status=$?
    [ "$status" -eq $((128 + $(kill -l "$signal"))) ] ||
        fail "the installed program ended with status $status, not by SIG$signal"
done

[ -s "$work/state/nimbrel/devtron_install.log" ] || fail "the installed program wrote no session log"
! grep -q "应用内置工具不存在" "$work/out" || fail "the installed program did not find its tools"
