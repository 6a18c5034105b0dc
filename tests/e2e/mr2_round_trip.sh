#!/usr/bin/env bash
# Layered files in the real program with the stand-in reader and PNG writer installed: a PNG made
# by ImageMagick and netpbm opens from the command line through the reader, is saved as mr2 (save-all, the
# default format mr2), opens again from the mr2 file (its picture read back from memory by the
# reader) and is saved as BMP; the BMP must equal the original, pixel for pixel.
#   mr2_round_trip.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <stand-in dir> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 standins=$5 artifacts=$6
. "$(dirname "$0")/common.sh"

mkdir -p "$app/ssPlug" "$app/SavePlug" "$artifacts"
cp "$standins/pngread.spi" "$app/ssPlug/" && cp "$standins/pngsave.ovp" "$app/SavePlug/" ||
  fail "the stand-in modules are not built"
# Stored deflate blocks and no row filters: the kind of PNG the stand-in reader reads.
convert -size 29x17 gradient:green-navy -fill orange -draw 'rectangle 3,4 9,8' "ppm:$app/original.ppm" &&
  pnmtopng -compression=0 -nofilter "$app/original.ppm" >"$app/pic.png" || fail "could not make the picture"
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

# Runs the program on a file, saves everything by default and quits; waits for the file written.
save_all() { # <file to open> <file expected> <log>
  "$run" "$state" "$app/ovrin.exe" "$(winpath "$1")" >"$app/$3.log" 2>&1 &
  "$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "$3: the main window did not appear"
  "$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "$3: no image window shows the picture"
  "$run" "$state" "$driver" command OvrinMAIN 32098 || fail "$3: could not send save-all"
  "$run" "$state" "$driver" answer MES 10000 >"$app/$3.mes" || fail "$3: save-all did not report its format"
  for _ in $(seq 1 100); do [ -s "$2" ] && break; sleep 0.1; done
  [ -s "$2" ] || fail "$3: $(basename "$2") was not written"
  "$run" "$state" "$driver" command OvrinMAIN 32032 || fail "$3: could not send Quit"
  "$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "$3: the program did not end after Quit"
}

printf 'lang 0\nDefaultSaveFormat mr2\n' >"$app/ovrin.cfg"
save_all "$app/pic.png" "$app/pic.mr2" png-to-mr2
[ "$(head -c 4 "$app/pic.mr2")" = "QzF2" ] || fail "pic.mr2 is no mr2 file"
ls "$app/qz_temp/mr2_temp" 2>/dev/null | grep -q . && fail "temporary pictures were left behind"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\n' >"$app/ovrin.cfg"
save_all "$app/pic.mr2" "$app/pic.bmp" mr2-to-bmp
cp "$app/pic.mr2" "$artifacts/round-trip.mr2"

identify -format '%w %h\n' "$app/pic.bmp" | grep -qx '29 17' || fail "the picture came back in another size"
convert "$app/pic.bmp" -alpha off "ppm:$app/back.ppm"
diff=$(compare -metric AE "$app/original.ppm" "$app/back.ppm" null: 2>&1) || true
[ "$diff" = "0" ] || fail "the picture differs from the original in $diff pixels"
stop_all
echo "mr2 round trip: ok"
