#!/usr/bin/env bash
# Clicks the tool bar's first button in the real program, fills in the "Create New Image" dialog
# it opens and checks that an image window shows the new picture; then quits without a question.
#   new_image.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
printf 'lang 0\nNewImageX 120\nNewImageY 80\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" wait OvrinEDIT 30000 || fail "no image window was made"
"$run" "$state" "$driver" visible OvrinEDIT && fail "an image window is shown before any image exists"

# The first button (New image) lies at x 0..22, y 5..27 of the main window's client area.
"$run" "$state" "$driver" click OvrinMAIN 11 16 || fail "could not click the tool bar"
"$run" "$state" "$driver" press "Create New Image" 3003 10000 || fail "the tool bar did not open the new-image dialog"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the new picture"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-new-image.png" 2>/dev/null || true

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit (a question for an unchanged picture?)"
grep -qx 'NewImageSize  0  120   80' <(tr -d '\r' <"$app/ovrin.cfg") || fail "the new size was not remembered first"
stop_all
echo "new image from the tool bar: ok"
