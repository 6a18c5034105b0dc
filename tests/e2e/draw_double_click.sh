#!/usr/bin/env bash
# Ends a spline curve with a double click of the real pointer in the real program, as users do:
# two single clicks, then a double click on the last point (its first click adds the point, the
# second ends the figure). The window must show the whole curve at once and no rubber band (a
# screenshot taken right after equals the picture saved next), and the saved picture must hold a
# curve through the three points.
#   draw_double_click.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\nDrawMethod SplineCurve\nInitZoom 1\n' >"$app/ovrin.cfg"
printf 'DrawParameterX 1100\nDrawParameterY 880\nFuncColParameterX 1100\nFuncColParameterY 950\n' >>"$app/ovrin.cfg"

# Larger than the window, so client pixels are picture pixels at zoom 1 from the top-left corner.
convert -size 1400x1200 xc:white -type TrueColor "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
touch -d '2000-01-01' "$app/pic.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
sleep 1
display=":$(cat "$state/display")"
read -r ox oy cw ch <<<"$("$run" "$state" "$driver" where OvrinEDIT)" || fail "no client area to click in"
[ "${cw:-0}" -gt 450 ] && [ "${ch:-0}" -gt 300 ] || fail "the image window's client area is too small: ${cw}x${ch}"

pointer() { DISPLAY="$display" xdotool mousemove --sync $((ox + $1)) $((oy + $2)) || fail "could not move the pointer"; sleep 0.3; }
# Apart by more than the double-click time, so that each is a click of its own.
pointer 200 200; DISPLAY="$display" xdotool click 1; sleep 0.8
pointer 300 150; DISPLAY="$display" xdotool click 1; sleep 0.8
pointer 420 260; DISPLAY="$display" xdotool click --repeat 2 --delay 80 1
sleep 0.3
# The pointer leaves the window, taking its pen outline along; the screenshot is taken well
# within the time the figure took to show in full before, and before anything repaints it.
DISPLAY="$display" xdotool mousemove --sync 5 $((oy + ch + 40)) || fail "could not move the pointer away"
sleep 0.4
import -display "$display" -window root "$app/screen.png" 2>/dev/null || fail "no screenshot"
cp "$app/screen.png" "$artifacts/ovrin-draw-double-click.png"

"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
"$run" "$state" "$driver" answer MES 10000 >>"$app/mes.log" || fail "save-all did not report its format"
for _ in $(seq 1 100); do [ "$(stat -c %Y "$app/pic.bmp")" -gt 946684800 ] && break; sleep 0.1; done
[ "$(stat -c %Y "$app/pic.bmp")" -gt 946684800 ] || fail "the picture was not written (the figure was thrown away?)"
sleep 0.5
cp "$app/pic.bmp" "$artifacts/drawn-double-click.bmp"
/usr/bin/python3 "$(dirname "$0")/draw_check.py" "$app/pic.bmp" curve 200 200 300 150 420 260 ||
  fail "the saved picture does not hold the curve ended with the double click"

# The window as shown against the saved picture, over the figure's surroundings.
convert "$app/screen.png" -crop "300x220+$((ox + 160))+$((oy + 110))" +repage "$app/shown.png" || fail "could not crop the screenshot"
convert "$app/pic.bmp" -crop 300x220+160+110 +repage "$app/saved.png" || fail "could not crop the picture"
diff=$(compare -metric AE "$app/shown.png" "$app/saved.png" null: 2>&1) || true
[ "$diff" = "0" ] || fail "the window shows $diff pixels other than the committed picture after the closing double click"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "end a spline with a double click of the real pointer: ok"
