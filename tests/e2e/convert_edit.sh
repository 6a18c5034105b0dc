#!/usr/bin/env bash
# Opens an 8-bit picture for viewing only through the open dialog of the real program, turns it
# into an editable one with "Convert into edit", saves it through save-all as 24-bit BMP and
# checks the file against the original, pixel for pixel, with ImageMagick.
#   convert_edit.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"
convert -size 64x48 plasma:fractal -seed 7 -colors 200 -type Palette -compress none "BMP3:$app/palette.bmp" ||
  fail "ImageMagick could not make the picture"
[ "$(od -An -tu2 -j28 -N2 "$app/palette.bmp" | tr -d ' ')" = "8" ] || fail "the picture is not an 8-bit one"
cp "$app/palette.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/palette.bmp" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" wait OvrinEDIT 30000 || fail "no image window was made"
"$run" "$state" "$driver" command OvrinMAIN 32069 || fail "could not send Open for view"
"$run" "$state" "$driver" type Open "$winpath" 20000 || fail "the open dialog did not take the name"
"$run" "$state" "$driver" titled OvrinEDIT "<<< VIEW >>>" 20000 || fail "the picture is not shown view-only"

"$run" "$state" "$driver" tell OvrinEDIT 32067 || fail "could not send Convert into edit"
"$run" "$state" "$driver" untitled OvrinEDIT "VIEW" 20000 || fail "the picture stayed view-only"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-convert-edit.png" 2>/dev/null || true

touch -d '2000-01-01' "$app/palette.bmp"
"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
"$run" "$state" "$driver" answer MES 10000 >/dev/null || fail "save-all did not report its format"
for _ in $(seq 1 100); do [ "$app/palette.bmp" -nt "$app/original.bmp" ] && break; sleep 0.1; done
[ "$app/palette.bmp" -nt "$app/original.bmp" ] || fail "the converted picture was not written"
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"

bits=$(od -An -tu2 -j28 -N2 "$app/palette.bmp" | tr -d ' ')
[ "$bits" = "24" ] || fail "the picture was saved at $bits bits, not 24"
diff=$(compare -metric AE "$app/original.bmp" "$app/palette.bmp" null: 2>&1) || true
[ "$diff" = "0" ] || fail "the converted picture differs from the original in $diff pixels"
stop_all
echo "convert into edit: ok"
