#!/usr/bin/env bash
# The program's pixel paths beside Pillow and ImageMagick on this machine, in one run: makes the
# test pictures, then for each row runs the figures program and the same work in Pillow
# alternately, five times each, and prints the medians:
#   NAME ovrin=V peer=V ratio=R goal=G
# The ratio is always higher-is-better (program over Pillow; for memory the image's bytes over
# the peak the open took, goal 0.83; for start-up the minimal window's time over the program's).
# ImageMagick (one thread) is timed alongside for the rows it has a like command for and shown on
# its own lines; beneath gamma and rgb the Apply's time is split (effect, progress window, commit,
# redraw, and the rest over the effect), beneath startup the program's own steps. Run by hand,
# never by CI:
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

# The application directory as built, all its modules installed, a language chosen.
cp -r "$build/app" "$work/app"
rm -f "$work/app/ovrin.cfg"
printf 'lang 0\n' >"$work/app/ovrin.cfg"
program="Z:$work/app/ovrin.exe"
# Each run's whole output, for the lines beneath a row.
log() { tee -a "$work/$1.log"; }

ovrin() {
  case $1 in
    gamma) wine "$bench/bench_effects.exe" --only "Gamma Correction" | log gamma | awk '/Mpixel/ { print $(NF-3) }' ;;
    rgb) wine "$bench/bench_effects.exe" --only "RGB Adjust2" | log rgb | awk '/Mpixel/ { print $(NF-3) }' ;;
    startup) wine "$bench/bench_startup.exe" --program "$program" | log startup | awk '/^program/ { print $2 }' ;;
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
    startup) wine "$bench/bench_startup.exe" --minimal | awk '/^minimal/ { print $2 }' ;;
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

# The medians of the split lines of an Apply, and the rest over the effect.
split() {
  awk -v key="${2:-split}" '$1 == key { for (i = 2; i <= NF; i++) { split($i, kv, "="); v[kv[1]] = v[kv[1]] " " kv[2] } }
    function med(s,   n, a, i, j, t) { n = split(s, a, " "); for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] + 0 < a[i] + 0) { t = a[i]; a[i] = a[j]; a[j] = t }; return a[int((n + 1) / 2)] }
    END { e = med(v["effect"]); p = med(v["progress"]); c = med(v["commit"]); r = med(v["redraw"])
      printf "  %s effect=%s progress=%s commit=%s redraw=%s overhead=%.0f%%\n", name, e, p, c, r, (e > 0 ? (p + c + r) * 100 / e : 0) }' name="$1${2:+ at the undo ceiling}" "$work/$1.log"
}
# The medians of the program's start-up steps, in their order.
steps() {
  awk '/^  / { if (!($1 in v)) order[++n] = $1; v[$1] = v[$1] " " $2 }
    function med(s,   k, a, i, j, t) { k = split(s, a, " "); for (i = 1; i <= k; i++) for (j = i + 1; j <= k; j++) if (a[j] + 0 < a[i] + 0) { t = a[i]; a[i] = a[j]; a[j] = t }; return a[int((k + 1) / 2)] }
    END { printf "  startup steps (ms):"; for (i = 1; i <= n; i++) printf " %s=%s", order[i], med(v[order[i]]); printf "\n" }' "$work/startup.log"
}

rows=("gamma 0.5" "rgb 0.5" "composite 4" "bmp-write 0.8" "bmp-read 1" "pen 1" "memory 0.83" "startup 0.67")
for row in "${rows[@]}"; do
  set -- $row
  name=$1 goal=$2 ours="" theirs="" im=""
  case " ${ROWS:-$name} " in *" $name "*) ;; *) continue ;; esac
  # The first start installs the data files into the copy: not timed.
  [ "$name" != startup ] || wine "$bench/bench_startup.exe" --program "$program" >/dev/null
  for ((i = 0; i < runs; i++)); do
    ours+=" $(ovrin "$name")"
    theirs+=" $(peer "$name")"
    case $name in gamma | bmp-read | bmp-write) im+=" $(magick "$name")" ;; esac
  done
  o=$(echo "$ours" | median) p=$(echo "$theirs" | median)
  case $name in
    memory) r=$o ;;
    startup) r=$(awk -v a="$o" -v b="$p" 'BEGIN { printf "%.2f", (a > 0 ? b / a : 0) }') ;; # times: lower is better
    *) r=$(awk -v a="$o" -v b="$p" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }') ;;
  esac
  echo "$name ovrin=$o peer=$p ratio=$r goal=$goal"
  [ -z "$im" ] || echo "  $name imagemagick=$(echo "$im" | median)"
  case $name in gamma | rgb) split "$name"; split "$name" ceiling ;; startup) steps ;; esac
done
