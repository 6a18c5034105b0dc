#!/usr/bin/env bash
# Acquires a picture in the real program from the stand-in TWAIN source manager (installed in the
# prefix's system directory for this run only), without and with the source's dialog, and looks
# for the transferred picture on the screen pixel for pixel; then quits, declining to save it.
#   twain_acquire.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
#                    <stand-in manager DLL>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5 manager=$6
. "$(dirname "$0")/common.sh"
installed="$state/prefix/drive_c/windows/system32/$(basename "$manager")"
trap 'rm -f "$installed"; finish' EXIT
# The first run makes the prefix.
[ -d "$state/prefix/drive_c/windows/system32" ] || "$run" "$state" "$driver" gone NoSuchClass 0 >/dev/null 2>&1
cp --remove-destination "$manager" "$installed" || fail "could not install the stand-in manager"
printf 'lang 0\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"
export OVRIN_FAKE_TWAIN_LOG="Z:$(echo "$app/twain.log" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"

for command in 32094 32064; do
  "$run" "$state" "$driver" command OvrinMAIN $command || fail "could not send $command"
  "$run" "$state" "$driver" answer MES 20000 >"$app/mes.log" || fail "$command did not report the picture"
  grep -qx '(40 30)dep=24' "$app/mes.log" || fail "$command reported $(cat "$app/mes.log")"
  "$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the acquired picture"
done
tr -d '\r' <"$app/twain.log" | grep -c '^NATIVEXFER$' | grep -qx 2 || fail "not two transfers: $(cat "$app/twain.log")"
tr -d '\r' <"$app/twain.log" | grep -q '^ENABLEDS show=0' || fail "32094 showed the source's dialog"
tr -d '\r' <"$app/twain.log" | grep -q '^ENABLEDS show=1' || fail "32064 hid the source's dialog"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-twain.png" 2>/dev/null ||
  fail "no screenshot"
/usr/bin/python3 "$(dirname "$0")/find_picture.py" "$artifacts/ovrin-twain.png" || fail "the acquired picture is not shown"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" press "?" 7 10000 || fail "Quit did not ask about the changed picture"
"$run" "$state" "$driver" press "?" 7 3000 # the second picture, when it asks for each
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "TWAIN acquisition: ok"
