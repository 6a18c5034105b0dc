#!/usr/bin/env bash
# Bad text files given to the real program: both menu files missing and, for every draw method, a
# panel file of 50 control types that no parameter plug-in provides. Each file is told in one box,
# once: not at every menu rebuild (every start, open and window change rebuilds the menus) and not
# at every selection of the draw method; the program stays usable.
#   text_files.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe>
set -u
run=$1 state=$2 appsrc=$3 driver=$4
. "$(dirname "$0")/common.sh"

printf 'lang 0\n' >"$app/ovrin.cfg"
rm -f "$app/Stat/QzMain.mnu.JPN" "$app/Stat/Dazaz.mnu.JPN"
panel=$(printf '100 100'; for i in $(seq 1 50); do printf '\nType%d 0 0 x' "$i"; done)
for module in "$app"/Draw/*.ovp; do printf '%s\n' "$panel" >"${module%.ovp}.ppd"; done
convert -size 40x30 xc:orange -type TrueColor "BMP3:$app/first.bmp" || fail "ImageMagick could not make the picture"
cp "$app/first.bmp" "$app/second.bmp"
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

# Answers every "Error" box that comes within the given milliseconds of the last; prints the count.
answer_all() {
  local n=0 wait=$1
  while [ $n -le 30 ] && "$run" "$state" "$driver" answer Error "$wait" >>"$app/boxes.log" 2>/dev/null; do
    n=$((n + 1)); wait=4000
  done
  echo $n
}

"$run" "$state" "$app/ovrin.exe" "$(winpath "$app/first.bmp")" >"$app/run.log" 2>&1 &
pid=$!
n=$(answer_all 30000)
[ "$n" -eq 3 ] || fail "start-up showed $n boxes, not one per menu file and one for the panel: $(cat "$app/boxes.log")"
[ "$(grep -c "Can't open menu file!" "$app/boxes.log")" -eq 2 ] || fail "the menu boxes: $(cat "$app/boxes.log")"
grep -q 'line 2: Parameter Type1 is not installed' "$app/boxes.log" || fail "the panel box: $(cat "$app/boxes.log")"
grep -q '(45 more bad lines)' "$app/boxes.log" || fail "the panel box does not count the rest: $(cat "$app/boxes.log")"
"$run" "$state" "$driver" titled OvrinEDIT first.bmp 20000 || fail "the picture is not shown"

# Another draw method: its own file, one box; back to the first and again: nothing more. A second
# picture handed over by a second start opens a window and rebuilds the menus: nothing more.
: >"$app/boxes.log"
"$run" "$state" "$driver" command OvrinMAIN 32162 || fail "could not choose draw method B"
n=$(answer_all 15000)
[ "$n" -eq 1 ] || fail "draw method B showed $n boxes: $(cat "$app/boxes.log")"
for id in 32161 32162 32161; do
  "$run" "$state" "$driver" command OvrinMAIN $id || fail "could not choose draw method $id"
done
"$run" "$state" "$app/ovrin.exe" "$(winpath "$app/second.bmp")" >"$app/second.log" 2>&1
"$run" "$state" "$driver" titled OvrinEDIT second.bmp 20000 || fail "the handed picture is not shown"
n=$(answer_all 4000)
[ "$n" -eq 0 ] || fail "files already told were told again ($n boxes): $(cat "$app/boxes.log")"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Quit"
wait "$pid"; rc=$?
[ $rc -eq 0 ] || fail "the program ended with $rc"
echo "bad text files told once each: ok"
