#!/usr/bin/env bash
# Installs what is missing, checks the layering of the includes, builds, and runs every
# test twice: a normal build, then a build under AddressSanitizer and
# UndefinedBehaviorSanitizer; then runs each fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-layers.sh
export QT_QPA_PLATFORM=offscreen
scripts/build.sh build
ctest --test-dir build --output-on-failure --parallel "$(nproc)"
scripts/build.sh build-asan -DTAVREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)"
# Every fuzz target, briefly: the saved crash inputs are replayed and stay fixed.
scripts/fuzz.sh 5
