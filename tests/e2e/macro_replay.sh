#!/usr/bin/env bash
# Records a keyboard macro in the real program while a filled regular polygon is dragged with the
# real mouse, then replays it with the pointer elsewhere. The picture saved afterwards must hold
# exactly two polygons: the one drawn and the same one moved to the pointer, both as worked out
# here from their centres and corners.
#   macro_replay.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <test plug-in dir> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 plugins=$5 artifacts=$6
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\nDrawMethod FillRegularPolygon\nInitZoom 1\n' >"$app/ovrin.cfg"
printf 'DrawParameterX 1100\nDrawParameterY 880\nFuncColParameterX 1100\nFuncColParameterY 950\n' >>"$app/ovrin.cfg"
mkdir -p "$app/Param"
cp "$plugins/p_num.ovp" "$app/Param/" || fail "no numeric parameter type to give the corner count"
printf '100 50\nTestNumber 0 0 corners 7\n' >"$app/Draw/dwopal.ppd"
rm -rf "$app/Macro" # recording makes the macro directory when it is missing

convert -size 1400x1200 xc:white -type TrueColor "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
cp "$app/pic.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
sleep 1

"$run" "$state" "$driver" command OvrinMAIN 32060 || fail "could not start recording"
sleep 0.5
"$run" "$state" "$driver" drag OvrinEDIT 300 250 370 280 || fail "could not drag in the image window"
"$run" "$state" "$driver" command OvrinMAIN 32060 || fail "could not stop recording"
sleep 0.5
macro="$app/Macro/keymac1.ovm"
[ -f "$macro" ] || fail "no macro file was written"
cp "$macro" "$artifacts/ovrin-keymac1.ovm"
tr -d '\r' <"$macro" >"$app/macro.txt" # a text file of Windows: CR LF line ends
grep -qx 'SetDraw FillRegularPolygon' "$app/macro.txt" || fail "the macro does not choose the draw method: $(cat "$app/macro.txt")"
[ "$(grep '^Draw ' "$app/macro.txt")" = "$(printf 'Draw SetPoint 300 250 1\nDraw SetPoint 370 280 0\nDraw DrawIt 370 280 0')" ] ||
  fail "the macro's points are not the drag's: $(grep '^Draw ' "$app/macro.txt")"

"$run" "$state" "$driver" point OvrinEDIT 500 350 || fail "could not move the pointer"
"$run" "$state" "$driver" command OvrinMAIN 32061 || fail "could not send Execute Macro"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-macro-replay.png" 2>/dev/null || true
touch -d '2000-01-01' "$app/pic.bmp"
"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
"$run" "$state" "$driver" answer MES 10000 >>"$app/mes.log" || fail "save-all did not report its format"
for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$app/original.bmp" ] && break; sleep 0.1; done
[ "$app/pic.bmp" -nt "$app/original.bmp" ] || fail "the picture was not written"

# Drawn from (300, 250) to (370, 280); replayed with the pointer at (500, 350).
/usr/bin/python3 "$(dirname "$0")/polygon_check.py" "$app/pic.bmp" 300 250 370 280 500 350 570 380 || fail "the picture does not hold the drawn polygon and its replay"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "record and replay a macro: ok"
