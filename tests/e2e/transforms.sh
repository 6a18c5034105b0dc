#!/usr/bin/env bash
# The real program runs each of the eight transforms beside zoom as a user does: Transform dialog
# from the menu command, the module chosen by its name and started, the top-left handle dragged
# with the real mouse, "Do!" chosen in the popup of the right button. Each must change the saved
# picture and leave the part no handle reaches as it was; an undo must give the original back.
#   transforms.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
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
im.putdata([((x * 7) & 255, (y * 5) & 255, (x + 2 * y) * 255 // (w + 2 * h)) for y in range(h) for x in range(w)])
im.save(sys.argv[1])
PY
cp "$app/pic.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

# Each "$run" "$driver" is one start of the driver; steps joined by -- share it. save_all runs the
# given steps, then save-all with its box telling the format, and waits for the file.
save_all() { # <a file the save must be newer than> [steps before the save, each ending in --]
  local newer=$1; shift
  touch -d '2000-01-01' "$app/pic.bmp"
  "$run" "$state" "$driver" "$@" command OvrinMAIN 32098 -- answer MES 10000 >>"$app/mes.log" ||
    fail "a step before the save, or the save itself, failed"
  for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$newer" ] && return 0; sleep 0.1; done
  fail "the picture was not written"
}
# Pixels of the two pictures that differ within a rectangle (x0 y0 x1 y1, inclusive): a pixel
# differs when any of its channels does.
differ_in() {
  /usr/bin/python3 - "$1" "$2" "$3" "$4" "$5" "$6" <<'PY'
import sys
from PIL import Image, ImageChops
x0, y0, x1, y1 = map(int, sys.argv[3:7])
a, b = (Image.open(p).convert("RGB").crop((x0, y0, x1 + 1, y1 + 1)) for p in sys.argv[1:3])
r, g, bl = ImageChops.difference(a, b).split()
most = ImageChops.lighter(ImageChops.lighter(r, g), bl)
print(most.width * most.height - most.histogram()[0])
PY
}

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
sleep 1

# The destination of the template modules after the drag starts at (200, 150): above and left of
# it the picture stays. The bow and the free quadrilaterals may reach anywhere.
for name in Cylinder Cone Sphere Circle Bow Tflumesform Tfnook Distort; do
  "$run" "$state" "$driver" command OvrinMAIN 32062 -- shown "#32770" 10000 -- choose Transform 3013 "$name" 10000 \
    -- sleep 500 -- press Transform 3012 10000 -- gone "#32770" 10000 -- sleep 1000 -- drag OvrinEDIT 2 2 200 150 \
    -- sleep 1000 || fail "$name: the Transform dialog did not open, choose it and close on Do, or its handle could not be dragged"
  import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-transform-$name.png" 2>/dev/null || true
  save_all "$app/original.bmp" menu OvrinEDIT 600 500 0 -- sleep 1500 --
  changed=$(differ_in "$app/original.bmp" "$app/pic.bmp" 0 0 1399 1199)
  [ "$changed" -gt 10000 ] || fail "$name changed only $changed pixels"
  case $name in Cylinder | Cone | Sphere | Circle)
    outside=$(differ_in "$app/original.bmp" "$app/pic.bmp" 0 0 1399 149)
    [ "$outside" = 0 ] || fail "$name changed $outside pixels above its rectangle" ;;
  esac
  echo "$name: $changed pixels changed"
  cp "$app/pic.bmp" "$app/done.bmp"
  save_all "$app/done.bmp" command OvrinMAIN 32034 -- sleep 1000 --
  diff=$(compare -metric AE "$app/original.bmp" "$app/pic.bmp" null: 2>&1) || true
  [ "$diff" = "0" ] || fail "after undoing $name the picture differs from the original in $diff pixels"
done

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "eight transforms from the menu with the mouse: ok"
