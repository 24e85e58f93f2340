#!/usr/bin/env bash
# Builds the benchmarks in a Release tree (build-bench) and runs them at low priority:
# the pure functions with Google Benchmark, then the editor scenarios. Writes
# build-bench/pure.json, build-bench/report.json and build-bench/report.md, and prints
# the table. Extra arguments go to the scenario program (e.g. --sizes 1,10 --reps 5).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh libbenchmark-dev
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCH=ON -DTAVREL_TESTS=OFF >/dev/null
cmake --build build-bench --target bench_pure bench_scenario --parallel "$(nproc)"
cd build-bench
nice bin/bench_pure --benchmark_out=pure.json --benchmark_out_format=json
nice bin/bench_scenario --dir bench-data --out report.json "$@"
echo
echo "Reports: build-bench/report.json, build-bench/report.md, build-bench/pure.json"
