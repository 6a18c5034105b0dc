#!/usr/bin/env bash
# The real program turns a picture from its "Rotate Image" tool window: "90" and "270" against
# ImageMagick's quarter turns of the same file, the default angle of 45 degrees to the size its
# corners span, and undoing every turn gives the original back.
#   rotate.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"
printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\n' >"$app/ovrin.cfg"
printf '1280 1024\n"rotate.ovp" 900 100 1\n' >"$app/Stat/subwin.pin"

# No two pixels of the picture alike under a quarter turn: a gradient with a block off its centre.
convert -size 96x64 gradient:'#f4b183-#2040c0' -fill '#303030' -draw 'rectangle 10,8 30,20' -type TrueColor \
  "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
cp "$app/pic.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

save_all() {
  touch -d '2000-01-01' "$app/pic.bmp"
  "$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
  "$run" "$state" "$driver" answer MES 10000 >>"$app/mes.log" || fail "save-all did not report its format"
  for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$app/original.bmp" ] && return 0; sleep 0.1; done
  fail "the picture was not written"
}
same() { # saved picture, reference picture
  local diff
  diff=$(compare -metric AE "$1" "$2" null: 2>&1) || true
  [ "$diff" = "0" ]
}

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown RotateImg 10000 || fail "the rotation window is not shown"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
sleep 1

# "90" turns the picture clockwise on the screen, "270" the other way.
"$run" "$state" "$driver" tell RotateImg 300 || fail "could not press 90"
save_all
convert "$app/original.bmp" -rotate 90 "$app/want90.bmp"
same "$app/pic.bmp" "$app/want90.bmp" || fail "90 is not the quarter turn clockwise"
"$run" "$state" "$driver" tell RotateImg 302 || fail "could not press 270"
"$run" "$state" "$driver" tell RotateImg 302 || fail "could not press 270"
save_all
convert "$app/original.bmp" -rotate -90 "$app/want270.bmp"
same "$app/pic.bmp" "$app/want270.bmp" || fail "90 and twice 270 is not the quarter turn counter-clockwise"

# The angle edit starts at 45: a 64 x 96 picture spans 113 x 113 turned by it.
"$run" "$state" "$driver" tell RotateImg 500 || fail "could not press Rotate"
save_all
size=$(identify -format '%wx%h' "$app/pic.bmp")
[ "$size" = "113x113" ] || fail "45 degrees gave $size"
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-rotate.png" 2>/dev/null || true

for _ in 1 2 3 4; do
  "$run" "$state" "$driver" command OvrinMAIN 32034 || fail "could not send Undo"
done
sleep 1
save_all
same "$app/pic.bmp" "$app/original.bmp" || fail "after four undos the picture is not the original"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "rotation from the tool window: ok"
