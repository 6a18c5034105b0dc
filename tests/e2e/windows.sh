#!/usr/bin/env bash
# Starts the real program for the first time (no settings yet), answers the language dialog it
# shows, checks the windows it makes: the main window, the hidden owner of the image windows, the
# parameter windows; then quits it and checks that the language was kept.
#   windows.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe>
set -u
run=$1 state=$2 appsrc=$3 driver=$4
. "$(dirname "$0")/common.sh"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
pid=$!
"$run" "$state" "$driver" press Language 3000 30000 || fail "the first start showed no language dialog"
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
for cls in OvrinEDIT OvrinSubP DRAWpara FCOLpara; do
  "$run" "$state" "$driver" wait "$cls" 5000 || fail "no window of class $cls"
done
"$run" "$state" "$driver" visible OvrinEDIT && fail "an image window is shown with no image open"
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "the program did not end after Quit"
wait "$pid"; rc=$?
[ $rc -eq 0 ] || fail "the program ended with $rc"
tr -d '\r' <"$app/ovrin.cfg" | grep -qx 'LANG 0' || fail "the language chosen was not kept"
echo "windows: ok"
