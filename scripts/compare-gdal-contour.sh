#!/usr/bin/env bash
# Topography of one picture by quarvel-cli and by gdal_contour, side by side: the same
# grey picture, the same levels, time and peak memory of each (GNU time), each run
# REPS times, medians printed. Needs ImageMagick (convert), gdal-bin and GNU time.
#
#   scripts/compare-gdal-contour.sh [SIZE] [LEVELS] [REPS] [THREADS]
#
# Band 1 of the picture is its red channel, the one quarvel-cli reads as heights.
# SIZE x SIZE pixels of plasma:fractal (seed 1), LEVELS equal steps over the 255 grey
# levels (Op Depth 1, Z Step 1/LEVELS, Depth 1), THREADS for quarvel-cli (0: all cores).
# gdal_contour writes a Shapefile, quarvel-cli DXF polylines; both into a scratch
# folder that is removed at the end. QUARVEL_CLI or BUILD_DIR point at the program.
set -euo pipefail
cd "$(dirname "$0")/.."
size=${1:-2000}
levels=${2:-50}
reps=${3:-3}
threads=${4:-0}
cli=${QUARVEL_CLI:-${BUILD_DIR:-build}/cli/quarvel-cli}
for tool in convert gdal_contour /usr/bin/time "$cli"; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

picture=$work/plasma.bmp
convert -seed 1 -size "${size}x${size}" plasma:fractal -colorspace gray -depth 8 \
    -type Grayscale BMP3:"$picture"

# quarvel-cli slices z = 255 - grey at k * 255 / LEVELS for k = 1..LEVELS; the same
# contours of the grey band lie at the grey values 255 - k * 255 / LEVELS.
step=$(awk -v n="$levels" 'BEGIN { printf "%.17g", 1 / n }')
# gdal_contour wants its fixed levels in ascending order (it writes nothing otherwise).
fixed=$(awk -v n="$levels" 'BEGIN { for (k = n; k >= 1; --k) printf "%s%.17g", (k < n ? " " : ""), 255 - k * 255 / n }')

# One run under GNU time: prints "seconds peak-kB".
measure() {
    /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >"$work/out.txt" 2>"$work/err.txt" || {
        cat "$work/err.txt" >&2
        exit 1
    }
    cat "$work/time.txt"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/quarvel.txt"
: >"$work/gdal.txt"
for _ in $(seq "$reps"); do
    rm -f "$work"/contours.*
    measure "$cli" contours "$picture" -o "$work/quarvel.dxf" --style topography \
        --op-depth 1 --z-step "$step" --depth 1 --threads "$threads" >>"$work/quarvel.txt"
    cp "$work/out.txt" "$work/quarvel-out.txt"
    # shellcheck disable=SC2086 # the fixed levels are one word each
    measure gdal_contour -q -b 1 -a level -fl $fixed "$picture" "$work/contours.shp" \
        >>"$work/gdal.txt"
done
made=$(grep -o '^[0-9]*' "$work/quarvel-out.txt" | head -n 1)
features=$(ogrinfo -so "$work/contours.shp" contours 2>/dev/null | sed -n 's/^Feature Count: //p')

echo "picture ${size}x${size} plasma:fractal, $levels levels, $reps runs each (medians)"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores"
echo "quarvel-cli: ${made:-?} regions; gdal_contour: ${features:-?} lines"
printf '%-14s %10s %14s\n' program seconds "peak MiB"
for name in quarvel gdal; do
    secs=$(cut -d' ' -f1 "$work/$name.txt" | median)
    kb=$(cut -d' ' -f2 "$work/$name.txt" | median)
    printf '%-14s %10s %14s\n' "$name" "$secs" "$(awk -v k="$kb" 'BEGIN { printf "%.0f", k / 1024 }')"
done
