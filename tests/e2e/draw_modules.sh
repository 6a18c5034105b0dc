#!/usr/bin/env bash
# Draws one figure with each of seven draw methods in the real program, with the real mouse: the
# ellipses and the sphere dragged from the centre to a corner, the spray dragged with the button
# held, the curves clicked point by point and ended with a second click on the last point. Each
# saved picture must hold that figure (draw_check.py); the program starts afresh for each method.
#   draw_modules.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <test plug-in dir> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 plugins=$5 artifacts=$6
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"

# The spray's panel: radius, dots per call, even spread (a parameter type of the test plug-ins).
mkdir -p "$app/Param"
cp "$plugins/p_num.ovp" "$app/Param/" || fail "no numeric parameter type for the spray's panel"
printf '100 90\nTestNumber 0 0 radius 10\nTestNumber 0 30 dots 20\nTestNumber 0 60 spread 0\n' >"$app/Draw/spray.ppd"

# Larger than the window, so client pixels are picture pixels at zoom 1 from the top-left corner.
convert -size 1400x1200 xc:white -type TrueColor "BMP3:$app/original.bmp" || fail "ImageMagick could not make the picture"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

click() { # the pointer goes there first: a click takes the point where the pointer is
  "$run" "$state" "$driver" point OvrinEDIT "$1" "$2" || fail "could not move the pointer"
  "$run" "$state" "$driver" click OvrinEDIT "$1" "$2" || fail "could not click in the image window"
  sleep 0.3
}

draw() { # $1 method, $2 gesture (drag or clicks), $3... the gesture's points; then the check
  local method=$1 gesture=$2; shift 2
  cp "$app/original.bmp" "$app/pic.bmp"
  printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\nDrawMethod %s\nInitZoom 1\n' "$method" >"$app/ovrin.cfg"
  printf 'DrawParameterX 1100\nDrawParameterY 880\nFuncColParameterX 1100\nFuncColParameterY 950\n' >>"$app/ovrin.cfg"
  "$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
  "$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "$method: the main window did not appear"
  "$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "$method: no image window shows the picture"
  sleep 1
  if [ "$gesture" = drag ]; then
    "$run" "$state" "$driver" drag OvrinEDIT "$1" "$2" "$3" "$4" || fail "$method: could not drag"
  else
    while [ $# -ge 2 ]; do click "$1" "$2"; last="$1 $2"; shift 2; done
    click $last
  fi
  sleep 1
  import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-draw-$method.png" 2>/dev/null || true
  touch -d '2000-01-01' "$app/pic.bmp"
  "$run" "$state" "$driver" command OvrinMAIN 32098 || fail "$method: could not send save-all"
  "$run" "$state" "$driver" answer MES 10000 >>"$app/mes.log" || fail "$method: save-all did not report its format"
  for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$app/original.bmp" ] && break; sleep 0.1; done
  [ "$app/pic.bmp" -nt "$app/original.bmp" ] || fail "$method: the picture was not written"
  sleep 0.5
  cp "$app/pic.bmp" "$artifacts/drawn-$method.bmp"
  "$run" "$state" "$driver" command OvrinMAIN 32032 || fail "$method: could not send Quit"
  "$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "$method: the program did not end after Quit"
}

touch -d '2000-01-01' "$app/original.bmp"
check() { /usr/bin/python3 "$(dirname "$0")/draw_check.py" "$artifacts/drawn-$1.bmp" "${@:2}" || fail "$1: the saved picture does not hold the figure"; }

draw Ellipse drag 300 250 360 290; check Ellipse outline 300 250 360 290
draw EllipseFill drag 300 250 370 280; check EllipseFill fill 300 250 370 280
draw Sphere drag 300 250 350 290; check Sphere dome 300 250 350 290
draw Spray drag 200 200 320 260; check Spray spray 200 200 320 260 10
draw SplineCurve clicks 200 200 300 150 420 260; check SplineCurve curve 200 200 300 150 420 260
draw ClosedSplineCurve clicks 200 200 320 160 400 300 240 330; check ClosedSplineCurve closed 200 200 320 160 400 300 240 330
draw FillClosedSplineCurve clicks 200 200 320 160 400 300 240 330; check FillClosedSplineCurve filled 200 200 320 160 400 300 240 330
stop_all
echo "draw with seven methods with the mouse: ok"
