#!/usr/bin/env bash
# The effects' figures on a 4096 x 4096 layer, then ImageMagick's operators that do the same work
# on the same picture (gradient magnitude, a round-window mean, a sine wave), in one run:
#   bench/effects.sh [build tree]        (default build/x86_64; needs imagemagick)
# ImageMagick's times are for its whole command less a plain read and write of the same picture.
# Its kernels are its own: the Sobel pair combined by the larger response, a disk mean of the
# same radius, its wave filling the moved-off edge with the background; the figures compare speed,
# not pixels.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/x86_64}
size=4096
raw=$(mktemp /tmp/ovrin-bench.XXXXXX)
trap 'rm -f "$raw" "$raw".out' EXIT
cmake/wine-run.sh "$build/wine" "$build/bench/bench_effects.exe" --raw "Z:$raw"
[ "$(stat -c %s "$raw")" = $((size * size * 4)) ] || { echo "no picture was written" >&2; exit 1; }

seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'; }
input=(-size ${size}x${size} -depth 8 "bgra:$raw")
base=$(seconds convert "${input[@]}" "bgra:$raw.out")
report() {
  local name=$1; shift
  local total net
  total=$(seconds convert "${input[@]}" "$@" "bgra:$raw.out")
  net=$(awk -v a="$total" -v b="$base" 'BEGIN { print a - b }')
  awk -v n="$name" -v t="$net" -v s=$size 'BEGIN {
    if (t <= 0) t = 1e-9
    printf "ImageMagick %-14s %5dx%-5d %8.1f Mpixel/s  (%.3f s)\n", n, s, s, s * s / 1e6 / t, t }'
}
report "Sobel edge" -morphology Convolve 'Sobel:>'
report "disk blur r3" -morphology Convolve Disk:3
report "wave 5x20" -background black -wave 5x20
