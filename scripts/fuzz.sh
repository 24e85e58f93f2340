#!/usr/bin/env bash
# fuzz.sh [seconds [executions] [target...]]: builds the libFuzzer targets with clang in
# build-fuzz, replays the saved crash inputs, then fuzzes each target (all, or the ones
# named, e.g. fuzz_lines) for the given time (default 60) or until it has executed the
# given number of inputs, one after the other, and prints how many inputs each executed.
# A crash stops the script; its input is left in build-fuzz/crashes/ to be copied into
# fuzz/regressions/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
runs_limit=$(( ${2:-0} > 0 ? ${2:-0} : -1 ))
shift $(( $# > 2 ? 2 : $# ))
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DTAVREL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzzers --parallel "$(nproc)" >/dev/null
mkdir -p build-fuzz/crashes
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(basename -s .cpp fuzz/fuzz_*.cpp))
for name in "${targets[@]}"; do
  binary=build-fuzz/fuzz/$name
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=()
  for dir in "fuzz/seeds/$name" "fuzz/regressions/$name"; do
    [ -d "$dir" ] && seeds+=("$dir")
  done
  # The text parsers also start from the shipped scripts and word files.
  case $name in
    fuzz_cp1252|fuzz_lines|fuzz_tokenizer) seeds+=(data/cfgs) ;;
  esac
  if [ -d "fuzz/regressions/$name" ] && [ -n "$(ls -A "fuzz/regressions/$name")" ]; then
    "$binary" "fuzz/regressions/$name"/* >/dev/null 2>&1 || {
      echo "$name: a saved crash input fails again" >&2
      "$binary" "fuzz/regressions/$name"/* >&2 || true
      exit 1
    }
  fi
  log=build-fuzz/$name.log
  if ! nice "$binary" -max_total_time="$seconds" -runs="$runs_limit" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
       -print_final_stats=1 -artifact_prefix="build-fuzz/crashes/$name-" "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$name: crash; input saved under build-fuzz/crashes/" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  printf '%-20s %12s executions in %ss\n' "$name" "$runs" "${time:-$seconds}"
done
