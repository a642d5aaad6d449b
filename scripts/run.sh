#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: with a display the program,
# without one the bundled sample job through the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/app/quarvel "$@"
fi
bash scripts/sample-job.sh
