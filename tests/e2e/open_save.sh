#!/usr/bin/env bash
# Opens a picture made by ImageMagick from the command line of the real program, checks that the
# first image window shows all of it, saves it again through save-all (the default format set to
# 24-bit BMP in the settings) and checks the file that comes back against the original, pixel for
# pixel, with ImageMagick; a save over the file made read-only is refused and leaves it as it was.
#   open_save.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"

convert -size 337x223 gradient:red-blue -fill yellow -draw 'rectangle 5,5 12,9' -type TrueColor "BMP3:$app/pic.bmp" ||
  fail "ImageMagick could not make the picture"
cp "$app/pic.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the opened picture"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-open.png" 2>/dev/null || true
# The window was fitted to the picture with its menu bar counted: the client holds all of it.
read -r cw ch < <("$run" "$state" "$driver" client OvrinEDIT)
[ "${cw:-0}" -ge 337 ] && [ "${ch:-0}" -ge 223 ] || fail "the image window's client is ${cw}x${ch}, short of 337x223"

touch -d '2000-01-01' "$app/pic.bmp"
"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
"$run" "$state" "$driver" answer MES 10000 >"$app/mes.log" || fail "save-all did not report its format"
for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$app/original.bmp" ] && break; sleep 0.1; done
[ "$app/pic.bmp" -nt "$app/original.bmp" ] || fail "the picture was not written again"

# Saved over a read-only file: refused with "Can't save", the file untouched and still read-only.
chmod a-w "$app/pic.bmp"
before=$(md5sum <"$app/pic.bmp")
"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all again"
"$run" "$state" "$driver" answer MES 10000 >/dev/null || fail "the second save-all did not report its format"
"$run" "$state" "$driver" answer Error 10000 >"$app/error.log" || fail "saving over a read-only file was not refused"
grep -q "Can't save" "$app/error.log" || fail "the refusal did not say \"Can't save\""
[ "$(md5sum <"$app/pic.bmp")" = "$before" ] || fail "the read-only file was changed"
stat -c %A "$app/pic.bmp" | grep -q w && fail "the file is no longer read-only"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"

identify -format '%w %h\n' "$app/pic.bmp" | grep -qx '337 223' || fail "the saved picture has another size"
diff=$(compare -metric AE "$app/original.bmp" "$app/pic.bmp" null: 2>&1) || true
[ "$diff" = "0" ] || fail "the saved picture differs from the original in $diff pixels"
stop_all
echo "open and save: ok"
