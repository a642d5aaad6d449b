#!/usr/bin/env bash
# Makes the preview pictures of the manual's chapter "Checking a tool path"
# (docs/manual/images/preview_*.png) with quarvel-cli.  usage: toolpath_manual_images.sh CLI
set -eu
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
out=$here/../../docs/manual/images
sample=$here/../../samples/dome_q.bmp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" gcode "$sample" -o "$work/dome.dnc"
"$cli" preview "$work/dome.dnc" -o "$out/preview_relief.png" --size 480x360
"$cli" contours "$sample" -o "$work/topo.dnc" --style topography --op-depth 0.9 --z-step 0.1 \
    --width 2 >/dev/null
"$cli" preview "$work/topo.dnc" -o "$out/preview_topography.png" --size 480x360
printf 'G0 Z0.1\nG0 X1 Y1\nG1 Z-0.1 F8\nG2 X3 Y1 I1 J0\nG3 X5 Y1 I1 J0\nG1 Y3\nG3 X1 Y3 I-2 J0\nG1 Y1\nG0 Z0.1\nG0 X0 Y0\n' \
    >"$work/arcs.ngc"
"$cli" preview "$work/arcs.ngc" -o "$out/preview_arcs.png" --size 480x360 --view top
