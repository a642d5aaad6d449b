#!/usr/bin/env bash
# The sample job: the command line on the bundled sample picture, output into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/cli/quarvel-cli
mkdir -p out
"$cli" --help
echo "No display: printed the command line's help above (no output files yet)."
