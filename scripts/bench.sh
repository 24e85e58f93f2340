#!/usr/bin/env bash
# Builds the benchmarks in a Release tree (build-bench) and runs them at low priority:
# the pure functions with Google Benchmark, then the editor scenarios, then the black-box
# runs of the real program beside Geany. Writes build-bench/pure.json, report.json,
# report.md, blackbox.json and blackbox.md, and prints the tables. Extra arguments go to
# the scenario program (e.g. --sizes 1,10 --reps 5).
#   BENCH_ONLY=blackbox scripts/bench.sh     only the black-box runs (also: inprocess)
#   BENCH_HUGE=1 scripts/bench.sh            adds a 1 GB script to the black-box runs
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${BENCH_ONLY:-inprocess,blackbox}
# Geany is the peer of the black-box runs; the set-up of the program itself never needs it.
scripts/setup.sh libbenchmark-dev geany
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTAVREL_BENCH=ON -DTAVREL_TESTS=OFF >/dev/null
cmake --build build-bench --target tavrel bench_pure bench_scenario --parallel "$(nproc)"
cd build-bench
if [[ $runs == *inprocess* ]]; then
  nice bin/bench_pure --benchmark_out=pure.json --benchmark_out_format=json
  nice bin/bench_scenario --dir bench-data --out report.json "$@"
fi

if [[ $runs == *blackbox* ]]; then
  # The same generated scripts for both programs; a tiny one is the first lines of the
  # smallest. Geany colours C, not .cfg, so the same bytes named .c show what colouring costs.
  sizes=(1 10 100)
  [ "${BENCH_HUGE:-0}" = 1 ] && sizes+=(1024)
  bin/bench_scenario --dir bench-data --only files --sizes "$(IFS=,; echo "${sizes[*]}")"
  head -n 40 bench-data/script_1mb.cfg > bench-data/tiny.cfg
  files=("$PWD/bench-data/tiny.cfg")
  for mb in "${sizes[@]}"; do files+=("$PWD/bench-data/script_${mb}mb.cfg"); done
  display=:$((90 + RANDOM % 100))
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null' EXIT
  sleep 1
  # The program's data sits beside the binary; QT_QPA_PLATFORM is left to the display.
  # Geany would take minutes on 1 GB; the target there is Tavrel's memory alone.
  DISPLAY=$display env -u QT_QPA_PLATFORM python3 ../bench/blackbox.py --out . --reps "${BENCH_REPS:-3}" \
    --peer-limit $((200 << 20)) "${files[@]}" -- "Tavrel=$PWD/bin/tavrel {file}" \
    "Geany=HOME=fresh geany -i -m -n -s {file}" "Geany, C colouring=HOME=fresh geany -i -m -n -s {file.c}"
fi
echo
echo "Reports: build-bench/report.json, report.md, pure.json, blackbox.json, blackbox.md"
