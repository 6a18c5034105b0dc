#!/usr/bin/env bash
# Replays a macro whose resize lines ask for sizes the image window cannot be built for, then one
# it can: each refused line gives one box and leaves the window, its title and its picture as they
# were; the good line still resizes, and the picture saved afterwards is the old one on the wider
# canvas.
#   macro_resize.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\nInitZoom 1\n' >"$app/ovrin.cfg"
mkdir -p "$app/Macro"
printf 'Command ResizeImage fix 23170 23170 0 0\nCommand ResizeImage fix 1 200000000 0 0\nCommand ResizeImage add 10 0 0 0\n' >"$app/Macro/keymac1.ovm"
convert -size 120x80 gradient:red-blue -type TrueColor "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
cp "$app/pic.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" titled OvrinEDIT "(120*80)" 10000 || fail "no image window shows the picture"

"$run" "$state" "$driver" command OvrinMAIN 32061 || fail "could not send Execute Macro"
for size in "23170 x 23170" "1 x 200000000"; do
  "$run" "$state" "$driver" answer Error 60000 >"$app/box.txt" || fail "no box for the resize to $size"
  grep -qx "Can't open new image" "$app/box.txt" || fail "the resize to $size said: $(cat "$app/box.txt")"
done
"$run" "$state" "$driver" titled OvrinEDIT "(130*80)" 10000 || fail "the resize after the refused ones did not act"
for caption in Error MES SysError Warning; do
  "$run" "$state" "$driver" answer "$caption" 1000 >/dev/null 2>&1 && fail "a further \"$caption\" box appeared"
done

touch -d '2000-01-01' "$app/pic.bmp"
"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
"$run" "$state" "$driver" answer MES 10000 >>"$app/mes.log" || fail "save-all did not report its format"
for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$app/original.bmp" ] && break; sleep 0.1; done
[ "$app/pic.bmp" -nt "$app/original.bmp" ] || fail "the picture was not written"
cp "$app/pic.bmp" "$artifacts/ovrin-macro-resize.bmp"

[ "$(identify -format '%w %h' "$app/pic.bmp")" = "130 80" ] || fail "the saved picture is $(identify -format '%w x %h' "$app/pic.bmp")"
convert "$app/pic.bmp" -crop 120x80+0+0 +repage "$app/left.bmp"
[ "$(compare -metric AE "$app/left.bmp" "$app/original.bmp" null: 2>&1)" = "0" ] || fail "the old picture is not at the left of the new canvas"
[ "$(convert "$app/pic.bmp" -crop 10x80+120+0 -format '%k' info:)" = "1" ] || fail "the added columns are not one colour"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "refused resize lines in a macro: ok"
