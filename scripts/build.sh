#!/usr/bin/env bash
# build.sh <build-dir> [cmake options...]: configures once, then builds everything.
set -euo pipefail
dir=$1; shift
cmake -S "$(dirname "$0")/.." -B "$dir" "$@" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
