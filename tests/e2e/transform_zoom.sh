#!/usr/bin/env bash
# The real program runs the zoom transform as a user does: Transform dialog from the menu command,
# "Zooming" chosen by name and started, the top-left handle dragged with the real mouse, "Do!" chosen in
# the popup of the right button. The saved picture must hold the stretched original, and an undo
# must give the original back.
#   transform_zoom.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\nInitZoom 1\n' >"$app/ovrin.cfg"
# Larger than the window, so client pixels are picture pixels at zoom 1 from the top-left corner.
/usr/bin/python3 - "$app/pic.bmp" <<'PY' || fail "could not make the picture"
import sys
from PIL import Image
w, h = 1400, 1200
im = Image.new("RGB", (w, h))
im.putdata([(x * 255 // (w - 1), y * 255 // (h - 1), (x + 2 * y) * 255 // (w + 2 * h)) for y in range(h) for x in range(w)])
im.save(sys.argv[1])
PY
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

"$run" "$state" "$driver" command OvrinMAIN 32062 || fail "could not send Transform"
"$run" "$state" "$driver" shown "#32770" 10000 || fail "the Transform dialog did not open"
"$run" "$state" "$driver" choose Transform 3013 Zooming 10000 || fail "could not choose Zooming"
sleep 0.5
"$run" "$state" "$driver" press Transform 3012 10000 || fail "could not press Do"
"$run" "$state" "$driver" gone "#32770" 10000 || fail "the Transform dialog stayed open after Do"
sleep 1
# The top-left handle sits on the picture's corner.
"$run" "$state" "$driver" drag OvrinEDIT 2 2 200 150 || fail "could not drag the handle"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-transform-zoom.png" 2>/dev/null || true
"$run" "$state" "$driver" menu OvrinEDIT 600 500 0 || fail "could not choose Do! in the popup"
sleep 1
touch -d '2000-01-01' "$app/pic.bmp"
save_all "$app/original.bmp"
cp "$app/pic.bmp" "$app/zoomed.bmp"
/usr/bin/python3 "$(dirname "$0")/transform_check.py" "$app/original.bmp" "$app/zoomed.bmp" 200 150 1399 1199 ||
  fail "the saved picture is not the original stretched into the dragged rectangle"

"$run" "$state" "$driver" command OvrinMAIN 32034 || fail "could not send Undo"
sleep 1
save_all "$app/zoomed.bmp"
diff=$(compare -metric AE "$app/original.bmp" "$app/pic.bmp" null: 2>&1) || true
[ "$diff" = "0" ] || fail "after the undo the picture differs from the original in $diff pixels"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "zoom transform from the menu with the mouse: ok"
