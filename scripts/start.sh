#!/usr/bin/env bash
# Installs what is missing, builds the editor and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: Tavrel is a desktop program and needs one." >&2
  echo "Start it on a virtual display with:  xvfb-run -a build/bin/tavrel" >&2
  exit 1
fi
exec build/bin/tavrel "$@"
