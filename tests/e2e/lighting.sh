#!/usr/bin/env bash
# The real program with the functional-colour modules in its directory: the Lighting dialog
# (command 32087) takes a click on its environment bar and one on its sphere, OK keeps them, and
# Quit writes them to light.dat; the five modules were loaded under their names.
#   lighting.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
printf 'lang 0\n' >"$app/ovrin.cfg"
printf '"fcteal.ovp"\n"fcyarrow.ovp"\n"fcwren.ovp"\n"fcvale.ovp"\n"fcumbra.ovp"\n' >"$app/Stat/funccol.pin"
rm -f "$app/Stat/light.dat"
mkdir -p "$artifacts"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" wait OvrinEDIT 30000 || fail "no image window was made"
"$run" "$state" "$driver" command OvrinMAIN 32087 || fail "could not send SetLighting"
"$run" "$state" "$driver" shown "#32770" 10000 || fail "the Lighting dialog did not open"
# Environment bar at 10, 200 (103 x 20): 80 pixels in. Sphere at 10, 45 (128 x 128): 36 right of
# its centre, on the middle row.
"$run" "$state" "$driver" click "#32770" 90 205 || fail "could not click the environment bar"
"$run" "$state" "$driver" click "#32770" 110 109 || fail "could not click the sphere"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-lighting.png" 2>/dev/null || true
"$run" "$state" "$driver" press Lighting 1 10000 || fail "no dialog titled Lighting to press OK in"
"$run" "$state" "$driver" gone "#32770" 10000 || fail "the Lighting dialog did not close"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
[ "$(stat -c %s "$app/Stat/light.dat" 2>/dev/null)" = 40 ] || fail "light.dat was not written as 40 bytes"
python3 - "$app/Stat/light.dat" <<'PY' || fail "light.dat does not hold the light set in the dialog"
import math, struct, sys
x, y, z, environment, highlight = struct.unpack('<5d', open(sys.argv[1], 'rb').read())
want = (36, 0, math.sqrt(64 * 64 - 36 * 36))
n = math.sqrt(sum(v * v for v in want))
ok = environment == 80 and highlight == 130 and all(abs(a - b / n) < 1e-9 for a, b in zip((x, y, z), want))
print(x, y, z, environment, highlight)
sys.exit(0 if ok else 1)
PY
names=$(tr -d '\r' <"$app/Stat/DB.JPN" | grep '^FuncCol ')
for name in SlopedGradation RectangularGradation 4ColorGradation ContinuousGradation Fcumbra; do
  grep -q "\"$name\"" <<<"$names" || fail "functional colour $name was not loaded: $names"
done
echo "lighting dialog and functional colours: ok"
