#!/usr/bin/env bash
# Mutation testing of src/ against the test suite; see scripts/mutants.py --help.
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 scripts/mutants.py "$@"
