#!/usr/bin/env bash
# Starts the real program in a fresh application directory, checks the hand-off of a second
# start, quits it with the Quit command and checks what it wrote back.
#   start_quit.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"

# Settings typed by hand: keys in any case, a "~" path.
printf 'lang 0\nstretchbltmode 2\neffect_dir "~\\MyFx"\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"

"$run" "$state" "$app/ovrin.exe" >"$app/first.log" 2>&1 &
pid=$!
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinMAIN 30000 || fail "the main window is not visible"
# A second start looks for the image windows' class: wait until start-up has made its owner.
"$run" "$state" "$driver" wait OvrinEDIT 30000 || fail "no image window was made"

# A screenshot of the running program for the artifacts.
display=":$(cat "$state/display")"
sleep 1
import -display "$display" -window root "$artifacts/ovrin-running.png" 2>/dev/null || echo "no screenshot taken"

# A second start hands its command line over and ends with 0; the first instance opens the file
# in an image window named after it. A start without arguments only ends.
convert -size 40x30 xc:orange -type TrueColor "BMP3:$app/handed.bmp" || fail "ImageMagick could not make the picture"
"$run" "$state" "$app/ovrin.exe" "Z:$(echo "$app/handed.bmp" | tr / '\\')" >"$app/second.log" 2>&1
[ $? -eq 0 ] || fail "a second start with a file did not end with 0"
"$run" "$state" "$driver" titled OvrinEDIT "handed.bmp" 20000 || fail "the first instance did not open the handed file"
"$run" "$state" "$app/ovrin.exe" >"$app/third.log" 2>&1
[ $? -eq 0 ] || fail "a second start without arguments did not end with 0"
kill -0 "$pid" 2>/dev/null || fail "the first instance ended after a second start"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Quit"
wait "$pid"; rc=$?
[ $rc -eq 0 ] || fail "the program ended with $rc"
[ -s "$app/ovrin.cfg" ] || fail "ovrin.cfg was not written back"
grep -q '^Stat_dir ' "$app/ovrin.cfg" || fail "ovrin.cfg lacks its settings"
for line in 'LANG 0' 'StretchBltMode 2' 'Effect_dir "~\MyFx"'; do
  tr -d '\r' <"$app/ovrin.cfg" | grep -qxF "$line" || fail "ovrin.cfg lacks: $line"
done
"$run" "$state" reg query 'HKCU\Software\Talvesk\QXV\home_dir' >"$app/reg.log" 2>&1
grep -qi 'ovrin-e2e' "$app/reg.log" || fail "home_dir was not recorded: $(cat "$app/reg.log")"
echo "start, hand-off and quit: ok"
