#!/usr/bin/env bash
# Makes a picture that fits its window in the real program, presses the arrow keys on the real
# keyboard and checks that the window shows the same as before: nothing scrolls past the picture's
# edges into the margins. A shot of the window after the keys is kept.
#   scroll_keys.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
printf 'lang 0\nNewImageX 300\nNewImageY 200\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
display=":$(cat "$state/display")"
"$run" "$state" "$driver" click OvrinMAIN 11 16 || fail "could not click the tool bar"
"$run" "$state" "$driver" press "Create New Image" 3003 10000 || fail "the tool bar did not open the new-image dialog"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the new picture"
sleep 1
read -r x y w h <<<"$("$run" "$state" "$driver" where OvrinEDIT)" || fail "no client area"
[ "${w:-0}" -gt 0 ] || fail "no client area"
shot() { import -display "$display" -window root -crop "${w}x${h}+${x}+${y}" +repage "$1" 2>/dev/null; }
shot "$app/before.png" || fail "no screenshot"
for key in Up Left Up Left; do
  DISPLAY="$display" xdotool key "$key" || fail "could not press $key"
  sleep 0.3
done
sleep 1
shot "$artifacts/ovrin-scroll-keys.png" || fail "no screenshot"
differ=$(compare -metric AE "$app/before.png" "$artifacts/ovrin-scroll-keys.png" null: 2>&1)
[ "$differ" = 0 ] || fail "the arrow keys moved a picture that fits its window ($differ pixels changed)"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "arrow keys on a picture that fits: ok"
