#!/usr/bin/env bash
# The sample job: the command line on the bundled sample picture, output into out/.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${QUARVEL_CLI:-${BUILD_DIR:-build}/cli/quarvel-cli}
picture=samples/dome_q.bmp
mkdir -p out
# A 4 x 3 relief .25 deep, cut in passes of .05 with a .125 ball end mill.
"$cli" gcode "$picture" -o out/dome_q.dnc --size-x 4 --depth .25 --depth-per-pass .05 \
    --tool "Ball Mill" --diameter .125
# The same relief as a DXF surface of 3DFACE entities.
"$cli" dxf "$picture" -o out/dome_q.dxf --size-x 4 --depth .25 --tool "Ball Mill" \
    --diameter .125
echo "Sample job done:"
echo "  G-code:      $(pwd)/out/dome_q.dnc"
echo "  DXF surface: $(pwd)/out/dome_q.dxf"
