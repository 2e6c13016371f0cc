#!/usr/bin/env bash
# A display and a wine server for the window tests of a build folder.
#
#   xvfb-fixture.sh start ROOT [WORKDIR...]
#                                        start Xvfb on a free display and the wine server
#   xvfb-fixture.sh run ROOT PROGRAM...  run a Windows program under wine on that display
#   xvfb-fixture.sh stop ROOT            end the wine server, then Xvfb (by its pid)
#
# The state (display number, Xvfb's pid) lives in ROOT/gui-display/. As root,
# wine runs as the unprivileged user 65534 with a prefix of its own
# (tools/wine-run, WINE_AS_NOBODY): as root, wine lets writes through to
# read-only files, which Windows never does for an ordinary user, and the
# tests of read-only files would prove nothing. The WORKDIRs given to `start`
# are then handed to that user, so the tests can create their folders in them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

mode=${1:-}
root=$(cd "${2:?usage: xvfb-fixture.sh start|run|stop ROOT [PROGRAM...]}" && pwd)
state=$root/gui-display
[ "$(id -u)" -eq 0 ] && export WINE_AS_NOBODY=1

display_of() {
    [ -s "$state/display" ] || { echo "xvfb-fixture: no display; did the start fixture run?" >&2; exit 1; }
    echo ":$(cat "$state/display")"
}

case "$mode" in
start)
    mkdir -p "$state"
    "$0" stop "$root" 2>/dev/null || true
    rm -f "$state/display" "$state/pid"
    # -displayfd picks a free display number and writes it once the server
    # accepts clients, so nothing has to guess or sleep. setsid and /dev/null:
    # CTest must not wait for the server's output pipes.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$state/display" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/pid"
    for _ in $(seq 100); do
        [ -s "$state/display" ] && break
        kill -0 "$(cat "$state/pid")" 2>/dev/null || { echo "xvfb-fixture: Xvfb did not start" >&2; exit 1; }
        sleep 0.05
    done
    [ -s "$state/display" ] || { echo "xvfb-fixture: Xvfb gave no display within 5 s" >&2; exit 1; }
    # The file holds the number followed by a line end.
    number=$(tr -dc 0-9 <"$state/display"); echo "$number" >"$state/display"
    DISPLAY=":$number" "$here/wine-run" --server-start "$root"
    shift 2
    for dir in "$@"; do
        mkdir -p "$dir"
        [ "${WINE_AS_NOBODY:-0}" = 1 ] && chown 65534:65534 "$dir"
    done
    ;;
run)
    shift 2
    DISPLAY=$(display_of)
    export DISPLAY
    export BRENVIK_WINE_ROOT=$root
    exec "$here/wine-run" "$@"
    ;;
stop)
    if [ -s "$state/display" ]; then
        DISPLAY=$(display_of) "$here/wine-run" --server-stop "$root"
    fi
    if [ -s "$state/pid" ]; then
        pid=$(cat "$state/pid")
        # Only our Xvfb: a pid left from an earlier run may belong to another process by now.
        if [ "$(ps -p "$pid" -o comm= 2>/dev/null)" = Xvfb ] && kill "$pid" 2>/dev/null; then
            for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
        fi
        rm -f "$state/pid"
    fi
    rm -f "$state/display"
    ;;
*)
    echo "usage: xvfb-fixture.sh start|run|stop ROOT [PROGRAM...]" >&2
    exit 2
    ;;
esac
