#!/usr/bin/env bash
# Renders every state of every screen and of the log viewer in a real X11 window on a private Xvfb
# display, in Chinese and in English, and saves each as <build>/screenshots/<state>.png and
# <build>/screenshots/en/<state>.png. Builds first, like scripts/setup.sh.
# Environment: NIMBREL_BUILD_DIR (default build); NIMBREL_SCALE (default 1), Qt's scale factor,
# which writes to <build>/screenshots/x<scale>/ instead. Extra arguments name the states to render
# (default: all of them, as listed by `screen_gallery --list`).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/setup.sh"
build_dir=${NIMBREL_BUILD_DIR:-$root/build}
gallery=$build_dir/tools/screen_gallery
out_dir=$build_dir/screenshots
scale=${NIMBREL_SCALE:-1}
[ "$scale" = 1 ] || out_dir=$out_dir/x$scale
mkdir -p "$out_dir/en"

work=$(mktemp -d)
xvfb_pid=
gallery_pid=
display=
screen_width=$((1024 * scale))
screen_height=$((600 * scale))
# Qt looks for its runtime folder before the gallery makes one of its own.
mkdir -m 0700 "$work/runtime"

stop_gallery() {
    if [ -n "$gallery_pid" ]; then
        kill "$gallery_pid" 2>/dev/null || true
        wait "$gallery_pid" 2>/dev/null || true
        gallery_pid=
    fi
}

cleanup() {
    stop_gallery
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The first display number that nobody holds; another Xvfb may take it between the look and the
# start, so a display that does not answer is given up for the next one.
start_xvfb() {
    local n
    for n in $(seq 90 199); do
        if [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; then
            continue
        fi
        Xvfb ":$n" -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 1 100); do
            if xdpyinfo -display ":$n" >/dev/null 2>&1; then
                display=:$n
                return 0
            fi
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    done
    echo "No free X display between :90 and :199 for Xvfb." >&2
    return 1
}

# The window itself, or, while the gallery shows more windows than that one (an alert over it),
# the part of the screen that holds them all.
capture() {
    local id=$1 png=$2 window key value
    local left=100000 top=100000 right=0 bottom=0 count=0 x y width height
    for window in $(DISPLAY=$display xdotool search --onlyvisible --pid "$gallery_pid" || true); do
        while IFS='=' read -r key value; do
            case $key in
            X) x=$value ;;
            Y) y=$value ;;
            WIDTH) width=$value ;;
            HEIGHT) height=$value ;;
            esac
        done < <(DISPLAY=$display xdotool getwindowgeometry --shell "$window")
        count=$((count + 1))
        left=$((x < left ? x : left))
        top=$((y < top ? y : top))
        right=$((x + width > right ? x + width : right))
        bottom=$((y + height > bottom ? y + height : bottom))
    done
    if ((count <= 1)); then
        import -display "$display" -window "$id" "$png"
        return
    fi
    left=$((left < 0 ? 0 : left))
    top=$((top < 0 ? 0 : top))
    right=$((right > screen_width ? screen_width : right))
    bottom=$((bottom > screen_height ? screen_height : bottom))
    import -display "$display" -window root \
        -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$png"
}

# Starts the gallery in the state and language (zh or en), waits for the window id it prints once
# the state is on screen, and captures what the screen shows inside that window (alerts over it
# included).
render() {
    local state=$1 language=$2 id_file=$work/$1.id log_file=$work/$1.log id= png
    png=$out_dir/$state.png
    [ "$language" = en ] && png=$out_dir/en/$state.png
    env -u WAYLAND_DISPLAY DISPLAY="$display" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 LANGUAGE="$language" \
        QT_SCALE_FACTOR="$scale" \
        XDG_RUNTIME_DIR="$work/runtime" \
        "$gallery" "$state" >"$id_file" 2>"$log_file" &
    gallery_pid=$!
    for _ in $(seq 1 900); do
        id=$(sed -n '1{/^[0-9][0-9]*$/p}' "$id_file")
        [ -n "$id" ] && break
        kill -0 "$gallery_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$id" ]; then
        echo "screen_gallery did not show $state:" >&2
        cat "$log_file" >&2
        stop_gallery
        return 1
    fi
    capture "$id" "$png"
    stop_gallery
    echo "$png"
}

if [ $# -gt 0 ]; then
    states=("$@")
else
    mapfile -t states < <("$gallery" --list)
fi

start_xvfb
failed=0
for language in zh en; do
    for state in "${states[@]}"; do
        render "$state" "$language" || failed=1
    done
done
exit "$failed"
