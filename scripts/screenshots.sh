#!/usr/bin/env bash
# screenshots.sh [build-dir]: draws the README's pictures into docs/ from the real windows,
# offscreen: the main window with a player's script, the flag checklist, Tunemill and the
# colour dialog. The script comes from the corpus of player configs beside the checkout
# (../shared/corpus). Builds only the drawing program, in build/ unless told otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
[ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" >/dev/null
cmake --build "$dir" --target screenshots --parallel "$(nproc)"
TAVREL_SCREENSHOTS="$PWD/docs" QT_QPA_PLATFORM=offscreen "$dir/tests/screenshots" -silent
ls -l docs/*.png
