#!/usr/bin/env bash
# The program's pixel paths beside Pillow and ImageMagick on this machine, in one run: makes the
# test pictures, then for each row runs the figures program and the same work in Pillow
# alternately, five times each, and prints the medians:
#   NAME ovrin=V peer=V ratio=R goal=G
# The ratio is always higher-is-better (program over Pillow; for memory the image's bytes over
# the peak the open took, goal 0.83). ImageMagick (one thread) is timed alongside for the rows it
# has a like command for and shown on its own lines. Run by hand, never by CI:
#   bench/compare.sh [build tree]        (default build/x86_64; needs python3-pil, imagemagick)
#   ROWS="gamma pen" bench/compare.sh     (only those rows)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/x86_64}
size=4096 runs=${RUNS:-5}
work=$(mktemp -d /tmp/ovrin-compare.XXXXXX)
trap 'rm -rf "$work"' EXIT
python=/usr/bin/python3
peers=bench/peers.py
wine() { cmake/wine-run.sh "$build/wine" "$@"; }
bench=$build/bench

# A 24-bit picture of noise, the same file for every reader.
$python -c "
import os, sys
from PIL import Image
Image.frombytes('RGB', ($size, $size), os.urandom($size * $size * 3)).save(sys.argv[1])" "$work/in.bmp"
bmp="Z:$work/in.bmp"

ovrin() {
  case $1 in
    gamma) wine "$bench/bench_effects.exe" --only "Gamma Correction" | awk '/Mpixel/ { print $(NF-3) }' ;;
    rgb) wine "$bench/bench_effects.exe" --only "RGB Adjust2" | awk '/Mpixel/ { print $(NF-3) }' ;;
    composite) wine "$bench/bench_composite.exe" --whole | awk '/whole group/ { print $5 }' ;;
    bmp-write) wine "$bench/bench_fileio.exe" --bmp-write "Z:$work/out.bmp" | awk '{ print $2 }' ;;
    bmp-read) wine "$bench/bench_fileio.exe" --bmp-read "$bmp" | awk '{ print $2 }' ;;
    pen) wine "$bench/bench_paint.exe" | awk '/stamps\/s/ { print $2 }' ;;
    memory) wine "$bench/bench_fileio.exe" --open-peak "$bmp" | awk '{ print $2 }' ;;
  esac
}

peer() {
  case $1 in
    bmp-write) $python $peers bmp-write $size "$work/peer.bmp" ;;
    bmp-read) $python $peers bmp-read "$work/in.bmp" ;;
    memory) $python $peers open-peak "$work/in.bmp" ;;
    *) $python $peers "$1" $size ;;
  esac
}

# ImageMagick's time for a command less a plain read of the picture, as a rate.
seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N); awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'; }
magick() {
  local im=(convert -limit thread 1) base total
  case $1 in
    gamma)
      # Five passes in one command, so that the read is small beside the work.
      base=$(seconds "${im[@]}" "$work/in.bmp" null:)
      total=$(seconds "${im[@]}" "$work/in.bmp" -gamma 1.8 -gamma 1.8 -gamma 1.8 -gamma 1.8 -gamma 1.8 null:)
      awk -v a="$total" -v b="$base" -v s=$size 'BEGIN { t = (a - b) / 5; if (t <= 0) t = 1e-9; printf "%.3f\n", s * s / 1e6 / t }' ;;
    bmp-read)
      total=$(seconds "${im[@]}" "$work/in.bmp" null:)
      awk -v t="$total" -v n="$(stat -c %s "$work/in.bmp")" 'BEGIN { printf "%.3f\n", n / 1e6 / t }' ;;
    bmp-write)
      base=$(seconds "${im[@]}" "$work/in.bmp" null:)
      total=$(seconds "${im[@]}" "$work/in.bmp" "BMP3:$work/im.bmp")
      awk -v a="$total" -v b="$base" -v n="$(stat -c %s "$work/im.bmp")" \
        'BEGIN { t = a - b; if (t <= 0) t = 1e-9; printf "%.3f\n", n / 1e6 / t }'
      rm -f "$work/im.bmp" ;;
  esac
}

median() { tr ' ' '\n' | grep . | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

rows=("gamma 0.5" "rgb 0.5" "composite 4" "bmp-write 0.8" "bmp-read 1" "pen 1" "memory 0.83")
for row in "${rows[@]}"; do
  set -- $row
  name=$1 goal=$2 ours="" theirs="" im=""
  case " ${ROWS:-$name} " in *" $name "*) ;; *) continue ;; esac
  for ((i = 0; i < runs; i++)); do
    ours+=" $(ovrin "$name")"
    theirs+=" $(peer "$name")"
    case $name in gamma | bmp-read | bmp-write) im+=" $(magick "$name")" ;; esac
  done
  o=$(echo "$ours" | median) p=$(echo "$theirs" | median)
  if [ "$name" = memory ]; then r=$o; else r=$(awk -v a="$o" -v b="$p" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'); fi
  echo "$name ovrin=$o peer=$p ratio=$r goal=$goal"
  [ -z "$im" ] || echo "  $name imagemagick=$(echo "$im" | median)"
done
