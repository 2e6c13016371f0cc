#!/usr/bin/env bash
# A display and a wine server for the window tests of a build folder.
#
#   xvfb-fixture.sh start ROOT [WORKDIR...]
#                                        start Xvfb on a free display and the wine server
#   xvfb-fixture.sh run ROOT PROGRAM...  run a Windows program under wine on that display
#   xvfb-fixture.sh stop ROOT            end the wine server, then Xvfb (by its pid)
#
# Everything lives in ROOT/gui-display/: the display number, Xvfb's pid, which
# user wine runs as, and a wine prefix of its own (tools/wine-run with this
# folder as its root), so the window tests' server never meets the one the
# other tests share.
#
# As root, wine runs as the unprivileged user 65534 (WINE_AS_NOBODY): as root,
# wine lets writes through to read-only files, which Windows never does for an
# ordinary user, and the tests of read-only files would prove nothing. The
# WORKDIRs given to `start` (with all they hold) and the working folder of
# `run`, when inside the build, are handed to that user, so the tests can
# create their folders in them. Where that user cannot reach the build folder (a
# build below a private home), wine runs as root and those tests say so.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

mode=${1:-}
root=$(cd "${2:?usage: xvfb-fixture.sh start|run|stop ROOT [PROGRAM...]}" && pwd)
state=$root/gui-display
export BRENVIK_WINE_ROOT=$state

as_nobody() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }

user_of() {
    [ -s "$state/user" ] && cat "$state/user"
}
display_of() {
    [ -s "$state/display" ] || { echo "xvfb-fixture: no display; did the start fixture run?" >&2; exit 1; }
    echo ":$(cat "$state/display")"
}

case "$mode" in
start)
    mkdir -p "$state"
    "$0" stop "$root" 2>/dev/null || true
    user=$(id -un)
    if [ "$(id -u)" -eq 0 ]; then
        if as_nobody test -r "$root/CMakeCache.txt"; then
            user=nobody
        else
            echo "xvfb-fixture: user 65534 cannot read $root; wine runs as root, read-only files cannot be tested"
        fi
    fi
    echo "$user" >"$state/user"
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
    [ "$user" = nobody ] && export WINE_AS_NOBODY=1
    DISPLAY=":$number" "$here/wine-run" --server-start "$state"
    shift 2
    for dir in "$@"; do
        mkdir -p "$dir"
        [ "$user" = nobody ] && chown -R 65534:65534 "$dir"
    done
    echo "xvfb-fixture: display :$number, wine as $user"
    ;;
run)
    shift 2
    DISPLAY=$(display_of)
    export DISPLAY
    if [ "$(user_of)" = nobody ]; then
        export WINE_AS_NOBODY=1
        # A test's working folder inside the build becomes the user's; any
        # other folder (the repo, for the screenshots) is left as it is.
        case "$PWD/" in "$root"/*) chown -R 65534:65534 "$PWD" ;; esac
    fi
    exec "$here/wine-run" "$@"
    ;;
stop)
    if [ -s "$state/display" ]; then
        [ "$(user_of)" = nobody ] && export WINE_AS_NOBODY=1
        DISPLAY=$(display_of) "$here/wine-run" --server-stop "$state"
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
