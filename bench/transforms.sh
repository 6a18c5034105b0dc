#!/usr/bin/env bash
# The figures of the eight transforms beside zoom on a 2048 x 2048 layer, then ImageMagick's
# perspective distortion of the same picture onto the same quadrilateral (bilinear sampling, as the
# modules do), in one run:
#   bench/transforms.sh [build tree]        (default build/x86_64; needs imagemagick)
# ImageMagick's time is for its whole command less a plain read and write of the same picture.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/x86_64}
size=2048
raw=$(mktemp /tmp/ovrin-bench.XXXXXX)
trap 'rm -f "$raw" "$raw".out' EXIT
cmake/wine-run.sh "$build/wine" "$build/bench/bench_transforms.exe" --raw "Z:$raw"
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
# The corners of bench_transforms' quadrilateral: each pulled in by an eighth, one by a quarter.
e=$((size / 8)) q=$((size / 4)) l=$((size - 1))
report "perspective" -virtual-pixel transparent -filter point -interpolate bilinear \
  -distort Perspective "0,0 $e,$q  $l,0 $((l - e)),$e  $l,$l $((l - q)),$((l - e))  0,$l $e,$((l - e))"
