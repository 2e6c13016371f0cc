#!/usr/bin/env bash
# Takes the screenshots of the main dialog and the About box under Xvfb, with
# the example deployment (the repo's config/) as working folder, and writes
# docs/screenshot-main.png and docs/screenshot-about.png.
#
# Usage: tools/screenshots.sh [BUILD]   (a Windows build folder, default build/win32)
# It needs bin/Brenvik.exe and bin/gui_drive.exe in BUILD:
#   cmake --build BUILD -j2 --target Brenvik gui_drive
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win32}" && pwd)
for exe in Brenvik gui_drive; do
    [ -f "$build/bin/$exe.exe" ] || { echo "screenshots: $build/bin/$exe.exe missing (build it first)" >&2; exit 1; }
done
fixture=$repo/tools/xvfb-fixture.sh
work=$(mktemp -d)
cleanup() {
    [ -n "${driver:-}" ] && { exec 3>&- || true; wait "$driver" 2>/dev/null || true; }
    "$fixture" stop "$build" >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

"$fixture" start "$build" >/dev/null 2>&1
export DISPLAY=":$(cat "$build/gui-display/display")"

# shoot CAPTION OUT: the window with that caption, cropped from the screen once
# two shots in a row agree (the dialog gives up its web page after about a
# second and paints the page's background itself).
shoot() {
    local caption=$1 out=$2 id X Y WIDTH HEIGHT SCREEN WINDOW
    id=$(xdotool search --sync --onlyvisible --name "^$caption\$" | head -n 1)
    eval "$(xdotool getwindowgeometry --shell "$id")"
    local previous="" shot
    for i in $(seq 20); do
        shot=$work/shot-$i.png
        import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
        if [ -n "$previous" ] && cmp -s <(convert "$previous" rgb:-) <(convert "$shot" rgb:-); then break; fi
        previous=$shot
        sleep 0.3
    done
    cp "$shot" "$out"
    echo "screenshots: $out (${WIDTH}x${HEIGHT})"
}

# show: start the program through the driver and keep it open while the pipe
# on descriptor 3 stays open.
show() {
    mkfifo "$work/in"
    (cd "$repo" && exec "$fixture" run "$build" "$build/bin/gui_drive.exe" show "$build/bin/Brenvik.exe" "$repo" "$@" \
        <"$work/in" >"$work/out" 2>"$work/err") &
    driver=$!
    exec 3>"$work/in"
    for _ in $(seq 300); do
        grep -q ready "$work/out" 2>/dev/null && return 0
        kill -0 "$driver" 2>/dev/null || break
        sleep 0.05
    done
    echo "screenshots: the program did not get ready" >&2
    cat "$work/err" >&2
    exit 1
}
done_showing() {
    exec 3>&-
    wait "$driver" || true
    driver=""
    rm -f "$work/in" "$work/out"
}

xdotool mousemove 0 0
show
shoot "KelvoroBrenvikv1.0" "$repo/docs/screenshot-main.png"
done_showing
show about
shoot "关于 KelvoroBrenvik" "$repo/docs/screenshot-about.png"
done_showing
