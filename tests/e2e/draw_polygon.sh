#!/usr/bin/env bash
# Draws a filled regular polygon with the real mouse in the real program: the configured draw
# method "FillRegularPolygon", its corner count from a draw panel, a drag from the centre to a
# corner. The picture saved afterwards must hold exactly the polygon through the corners worked
# out here; after an undo it must be the original again.
#   draw_polygon.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <test plug-in dir> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 plugins=$5 artifacts=$6
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\nDrawMethod FillRegularPolygon\nInitZoom 1\n' >"$app/ovrin.cfg"
printf 'DrawParameterX 1100\nDrawParameterY 880\nFuncColParameterX 1100\nFuncColParameterY 950\n' >>"$app/ovrin.cfg"
# The draw panel: one numeric control (a parameter type of the test plug-ins) holding the corners.
mkdir -p "$app/Param"
cp "$plugins/p_num.ovp" "$app/Param/" || fail "no numeric parameter type to give the corner count"
printf '100 50\nTestNumber 0 0 corners 7\n' >"$app/Draw/dwopal.ppd"

# Larger than the window, so client pixels are picture pixels at zoom 1 from the top-left corner.
convert -size 1400x1200 xc:white -type TrueColor "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
cp "$app/pic.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

save_all() { # $1: a file the save must be newer than
  "$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
  "$run" "$state" "$driver" answer MES 10000 >>"$app/mes.log" || fail "save-all did not report its format"
  for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$1" ] && return 0; sleep 0.1; done
  fail "the picture was not written"
}

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
sleep 1

"$run" "$state" "$driver" drag OvrinEDIT 300 250 370 280 || fail "could not drag in the image window"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-draw-polygon.png" 2>/dev/null || true
touch -d '2000-01-01' "$app/pic.bmp"
save_all "$app/original.bmp"
cp "$app/pic.bmp" "$app/drawn.bmp"

/usr/bin/python3 "$(dirname "$0")/polygon_check.py" "$app/drawn.bmp" 300 250 370 280 || fail "the committed pixels are not the polygon through the expected corners"

"$run" "$state" "$driver" command OvrinMAIN 32034 || fail "could not send Undo"
sleep 1
save_all "$app/drawn.bmp"
diff=$(compare -metric AE "$app/original.bmp" "$app/pic.bmp" null: 2>&1) || true
[ "$diff" = "0" ] || fail "after the undo the picture differs from the original in $diff pixels"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "draw a polygon with the mouse: ok"
