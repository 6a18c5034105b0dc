#!/usr/bin/env bash
# Opens the two tool windows in the real program: a new black picture gets a tracing-paper layer
# from the layer manager, which the layer manager then hides again (checked on the screen), and
# the pen selector makes a pen of size 10 that the program keeps in its settings at quit.
#   tool_windows.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
printf 'lang 0\nNewImageX 120\nNewImageY 80\nNewImageBackground 2\n' >"$app/ovrin.cfg"
printf '1280 1024\n"pens.ovp" 720 100 1\n"swzinc.ovp" 920 100 1\n' >"$app/Stat/subwin.pin"
mkdir -p "$artifacts"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
display=":$(cat "$state/display")" # made by the first run
"$run" "$state" "$driver" shown Pens 10000 || fail "the pen selector is not shown"
"$run" "$state" "$driver" shown Swzinc 10000 || fail "the layer manager is not shown"
"$run" "$state" "$driver" wait OvrinEDIT 30000 || fail "no image window was made"

"$run" "$state" "$driver" click OvrinMAIN 11 16 || fail "could not click the tool bar"
"$run" "$state" "$driver" press "Create New Image" 3003 10000 || fail "the new-image dialog did not open"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the new picture"
read -r cx cy cw ch <<<"$("$run" "$state" "$driver" where OvrinEDIT | tr -d '\r')"
[ -n "${ch:-}" ] || fail "the image window's client area was not found"

# Pixels of the image window's client area with exactly this colour.
count() {
  /usr/bin/python3 - "$1" "$cx" "$cy" "$cw" "$ch" "$2" <<'PY'
import sys
from PIL import Image
path, x, y, w, h, rgb = sys.argv[1], *map(int, sys.argv[2:6]), tuple(int(v) for v in sys.argv[6].split(','))
im = Image.open(path).convert('RGB').crop((x, y, x + w, y + h))
print(sum(1 for p in im.getdata() if p == rgb))
PY
}
shot() { sleep 1; import -display "$display" -window root "$artifacts/$1" 2>/dev/null || fail "no screenshot"; }

# Tracing paper: white at half opacity over the black picture shows it grey 128; the frame around
# the picture may be of that grey too, so the picture's pixels are counted against it.
shot ovrin-black-picture.png
frame=$(count "$artifacts/ovrin-black-picture.png" 128,128,128)
"$run" "$state" "$driver" click Swzinc 216 20 || fail "could not click the layer manager"
shot ovrin-tool-windows.png
grey=$(count "$artifacts/ovrin-tool-windows.png" 128,128,128)
[ $((grey - frame)) -eq $((120 * 80)) ] || fail "the tracing paper does not show: $grey grey pixels, $frame before"
# Its row is the top one: its visibility cell hides it and the picture is black again.
"$run" "$state" "$driver" click Swzinc 40 120 || fail "could not click the layer manager"
shot ovrin-layer-hidden.png
grey=$(count "$artifacts/ovrin-layer-hidden.png" 128,128,128)
[ "$grey" -eq "$frame" ] || fail "the hidden layer still shows: $grey grey pixels, $frame before"

# The size bar of the pen selector: size = x - 80.
"$run" "$state" "$driver" click Pens 90 20 || fail "could not click the pen selector"
sleep 1
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" press "?" 7 5000 >/dev/null 2>&1 # a save question for the picture: no
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
cfg=$(tr -d '\r' <"$app/ovrin.cfg")
grep -qx 'PenCreatorName "PenSelector"' <<<"$cfg" || fail "the pen maker was not kept: $(grep -i pen <<<"$cfg")"
grep -qx 'PenParameter "RECT10 50100 FFF"' <<<"$cfg" || fail "the pen was not kept: $(grep -i pen <<<"$cfg")"
stop_all
echo "tool windows: ok"
