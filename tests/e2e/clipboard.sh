#!/usr/bin/env bash
# The clipboard between the real program and another program: a picture opened in the program is
# copied (Copy whole) and read back by the driver as the same pixels; a different picture the driver
# puts on the clipboard is pasted as a new image, shown in the window at its size, and copied back
# unchanged.
#   clipboard.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"
printf 'lang 0\n' >"$app/ovrin.cfg"
win() { echo "Z:$(echo "$1" | tr / '\\')"; }
same() { # two bitmap files with the same colours, pixel for pixel
  [ "$(compare -metric AE -channel RGB "$1" "$2" null: 2>&1)" = "0" ]
}
convert -size 120x80 gradient:red-blue -type TrueColor "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
convert -size 37x21 plasma:fractal -seed 7 -type TrueColor "BMP3:$app/other.bmp" || fail "ImageMagick could not make the picture"

"$run" "$state" "$app/ovrin.exe" "$(win "$app/pic.bmp")" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
"$run" "$state" "$driver" clipput "$(win "$app/other.bmp")" || true # something else there first
"$run" "$state" "$driver" command OvrinMAIN 32014 || fail "could not send Copy whole"
sleep 1
"$run" "$state" "$driver" clipsave "$(win "$app/copied.bmp")" || fail "the clipboard holds no bitmap"
cp "$app/copied.bmp" "$artifacts/ovrin-clipboard-copy.bmp"
same "$app/pic.bmp" "$app/copied.bmp" || fail "the copied picture differs: $(identify "$app/copied.bmp")"

"$run" "$state" "$driver" clipput "$(win "$app/other.bmp")" || fail "could not put a picture on the clipboard"
"$run" "$state" "$driver" command OvrinMAIN 32015 || fail "could not send Paste"
"$run" "$state" "$driver" titled OvrinEDIT "(37*21)" 10000 || fail "the pasted picture is not shown"
"$run" "$state" "$driver" command OvrinMAIN 32014 || fail "could not send Copy whole"
sleep 1
"$run" "$state" "$driver" clipsave "$(win "$app/again.bmp")" || fail "the clipboard holds no bitmap"
same "$app/other.bmp" "$app/again.bmp" || fail "the pasted picture differs: $(identify "$app/again.bmp")"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" press "?" 7 5000 >/dev/null 2>&1 # the pasted picture is unsaved: no
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "clipboard: ok"
