#!/usr/bin/env bash
# Start-up and press timings of Brenvik.exe under wine on a display of its own:
# start -> main dialog shown, and press of the generate button -> Save As shown,
# each run printed and the medians at the end. A measurement, never a test.
#
# Usage: tools/gui-bench.sh [BUILD] [RUNS]   (BUILD default build/win32, RUNS default 9)
# It needs bin/Brenvik.exe and bin/gui_drive.exe in BUILD. The presses write
# into a copy of the example deployment, never into the repo's config/.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build/win32}" && pwd)
runs=${2:-9}
for exe in Brenvik gui_drive; do
    [ -f "$build/bin/$exe.exe" ] || { echo "gui-bench: $build/bin/$exe.exe missing (build it first)" >&2; exit 1; }
done
fixture=$repo/tools/xvfb-fixture.sh
work=$build/testrun/gui_bench
rm -rf "$work"
mkdir -p "$work"
cp -r "$repo/config" "$work/"
trap '"$fixture" stop "$build" >/dev/null 2>&1 || true' EXIT
"$fixture" start "$build" "$work" >/dev/null 2>&1
# The fixture may run wine as the unprivileged user; the copy must be theirs then.
[ "$(cat "$build/gui-display/user")" = nobody ] && chown -R 65534:65534 "$work"
cd "$work"
"$fixture" run "$build" "$build/bin/gui_drive.exe" bench "$build/bin/Brenvik.exe" "$work" "$runs" 2>/dev/null
