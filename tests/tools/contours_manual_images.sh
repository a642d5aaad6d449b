#!/bin/sh
# Makes the pictures of the manual's chapter on contours (docs/manual/images/contours_*.png)
# with ImageMagick, quarvel-cli and regions_svg.py.  usage: contours_manual_images.sh CLI
set -eu
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
out=$here/../../docs/manual/images
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
svg() { python3 "$here/regions_svg.py" "$@"; }
convert -size 240x160 xc:white -fill 'gray(62%)' -draw 'circle 80,80 80,18' \
    -fill 'gray(35%)' -draw 'circle 80,80 80,50' -fill 'gray(20%)' -draw 'rectangle 150,40 220,120' \
    -fill 'gray(70%)' -draw 'rectangle 165,55 205,105' -type TrueColor BMP3:flat.bmp
convert flat.bmp -blur 0x5 -type TrueColor BMP3:soft.bmp
convert soft.bmp -crop 132x160+14+0 +repage -type TrueColor BMP3:disc.bmp
"$cli" contours soft.bmp -o single.dxf --style single --op-depth 0.5 --width 2.4
"$cli" contours soft.bmp -o topo.dxf --style topography --z-step 0.11 --op-depth 0.9 --multiple-depths --width 2.4
"$cli" contours soft.bmp -o broken.dxf --style single --op-depth 0.6 --width 2.4
"$cli" contours flat.bmp -o vec.dxf --style vectorize --multiple-depths --width 2.4
"$cli" contours disc.bmp -o d0.dxf --style single --op-depth 0.5 --width 1.32
"$cli" contours disc.bmp -o d1.dxf --style single --op-depth 0.5 --width 1.32 --reduce 30
"$cli" contours disc.bmp -o d2.dxf --style single --op-depth 0.5 --width 1.32 --reduce 30 --curve-fit 4
svg single.svg single.dxf
svg topo.svg topo.dxf
svg broken.svg broken.dxf
svg vec.svg vec.dxf
svg refine.svg d0.dxf:#aaaaaa d1.dxf:#d04020 d2.dxf:#1040c0 --width 360
convert soft.bmp "$out/contours_picture.png"
convert flat.bmp "$out/contours_flat_picture.png"
for name in single topo broken vec refine; do convert $name.svg "$out/contours_$name.png"; done
