#!/usr/bin/env bash
# The item window stays above the main window that owns it in the real program: a picture opened
# from the command line, its window clicked with the real mouse, then the main window's tool bar
# (away from its buttons), twice over; each time the system's window order must list the item
# window before the main window.
#   item_window.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe>
set -u
run=$1 state=$2 appsrc=$3 driver=$4
. "$(dirname "$0")/common.sh"
printf 'lang 0\n' >"$app/ovrin.cfg"
convert -size 120x80 gradient:red-blue -type TrueColor "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"

"$run" "$state" "$app/ovrin.exe" "Z:$(echo "$app/pic.bmp" | tr / '\\')" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
"$run" "$state" "$driver" shown ItemWin 10000 || fail "no item window"

# The item window before the main window in the order, topmost first.
item_above() {
  "$run" "$state" "$driver" order | tr -d '\r' | grep -xE 'ItemWin|OvrinMAIN' | head -1 | grep -qx ItemWin
}
sleep 1
item_above || fail "the item window starts below the main window: $("$run" "$state" "$driver" order | tr '\r\n' '  ')"
read -r _ _ width _ <<<"$("$run" "$state" "$driver" where OvrinMAIN | tr -d '\r')"
for round in 1 2; do
  "$run" "$state" "$driver" press-mouse OvrinEDIT 30 30 || fail "could not click the image window"
  "$run" "$state" "$driver" press-mouse OvrinMAIN $((width - 60)) 16 || fail "could not click the main window"
  sleep 1
  item_above || fail "round $round: the item window fell below the main window: $("$run" "$state" "$driver" order | tr '\r\n' '  ')"
done

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "item window: ok"
