#!/usr/bin/env bash
# Builds the fuzz preset (clang 14, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every fuzz target for SECONDS each
# (default 20), starting from its committed corpus in tests/fuzz/corpus/.
#
#   tools/fuzz.sh            the short run of ./test
#   tools/fuzz.sh 600        a longer run: ten minutes per target
#   tools/fuzz.sh 60 merge   only the targets named
#
# A crash, a failed check, a sanitizer report, a leak or a slow input fails the
# run; the input that did it is left in build/fuzz/artifacts/ and can be
# replayed with build/fuzz/bin/<target>_fuzz <file>. New inputs found on the
# way go to build/fuzz/corpus/<target>/ (kept between runs); copy the few that
# matter into tests/fuzz/corpus/<target>/ to make them part of every test run.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true

cmake --preset fuzz >/dev/null
# Absolute paths: targets that work on files change their current directory.
build=$PWD/build/fuzz
targets=()
if [ $# -gt 0 ]; then
    targets=("$@")
else
    for dir in tests/fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi
cmake --build "$build" -j2 --target "${targets[@]/%/_fuzz}" >/dev/null

mkdir -p "$build/artifacts" "$build/logs"
status=0
for t in "${targets[@]}"; do
    bin="$build/bin/${t}_fuzz"
    if [ ! -x "$bin" ]; then
        status=1
        echo "fuzz $t: FAILED (no program $bin)"
        continue
    fi
    corpus="$build/corpus/$t"
    mkdir -p "$corpus"
    log="$build/logs/$t.log"
    # The working corpus comes first: new inputs are written there, never
    # into the repository's seeds.
    if "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -detect_leaks=1 \
            -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
            "$corpus" "$PWD/tests/fuzz/corpus/$t" >"$log" 2>&1; then
        runs=$(grep -ao 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
        echo "fuzz $t: ok, $runs inputs in ${seconds}s, corpus $(ls "$corpus" | wc -l) files"
    else
        status=1
        echo "fuzz $t: FAILED (log $log)"
        grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$log" | head -8 | sed 's/^/    /'
    fi
done
exit $status
