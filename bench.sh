#!/usr/bin/env bash
# Runs every benchmark of the native build (bin/*_bench, from bench/*_bench.cpp)
# with Google Benchmark's JSON output and writes docs/PERFORMANCE.md from it
# (tools/perf-report.py). A benchmark program that is missing or fails is
# named in the report instead of stopping the run. (bench/ holds the
# benchmarks' sources, so this script cannot be called ./bench.)
#
#   ./bench.sh                          build and use the native preset (build/native)
#   BRENVIK_BENCH_BUILD=DIR ./bench.sh  use (and build) another Release folder
#   ./bench.sh --benchmark_min_time=0.05   extra arguments go to every program
set -euo pipefail
cd "$(dirname "$0")"

build=${BRENVIK_BENCH_BUILD:-build/native}
if [ "$build" = build/native ]; then
    cmake --preset native >/dev/null
else
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRENVIK_BENCH=ON >/dev/null
fi
# Only the benchmarks and what they need: a broken test elsewhere must not
# keep the figures from being measured.
benches=$(cmake --build "$build" --target help | grep -o '[A-Za-z0-9_]*_bench' | sort -u || true)
for b in $benches; do
    cmake --build "$build" -j2 --target "$b" >/dev/null 2>&1 || echo "bench: $b does not build" >&2
done

results="$build/bench-results"
rm -rf "$results"
mkdir -p "$results"
for name in catalog_bench substitute_bench sequence_bench $benches; do
    if [ -e "$results/$name.json" ] || [ -e "$results/$name.missing" ]; then continue; fi
    bin="$build/bin/$name"
    if [ ! -x "$bin" ]; then
        echo "no program $bin (not written yet, or it does not build)" > "$results/$name.missing"
        echo "bench: $name missing"
        continue
    fi
    echo "bench: $name"
    if ! "$bin" --benchmark_format=console --benchmark_out="$results/$name.json" \
            --benchmark_out_format=json "$@" >"$results/$name.log" 2>&1; then
        echo "it failed: $(tail -n 3 "$results/$name.log" | tr '\n' ' ')" > "$results/$name.missing"
        rm -f "$results/$name.json"
        echo "bench: $name FAILED (see $results/$name.log)"
    fi
done
mkdir -p docs
python3 tools/perf-report.py "$results" > docs/PERFORMANCE.md
echo "bench: docs/PERFORMANCE.md written"
grep -E '^[0-9]+ goals' docs/PERFORMANCE.md || true
