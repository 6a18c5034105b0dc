#!/usr/bin/env bash
# Opens a large picture from the command line of the real program and saves it again through
# save-all, watching from outside for the progress window of each: "Now loading..." while the
# picture is read, "Now saving..." while it is written.
#   progress.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"
convert -size 4000x3000 gradient:white-navy -type TrueColor "BMP3:$app/big.bmp" ||
  fail "ImageMagick could not make the picture"
winpath="Z:$(echo "$app/big.bmp" | tr / '\\')"

# A watcher for a window that lives only while the file is read or written: the program is asked
# only once the watcher says it is watching (its start under Wine may take longer than the read).
watch() { # <title> <log>
  rm -f "$app/watching"
  "$run" "$state" "$driver" seen "$1" 90000 "Z:$(echo "$app/watching" | tr / '\\')" >"$2" 2>&1 &
  watcher=$!
  for _ in $(seq 1 600); do [ -e "$app/watching" ] && return 0; sleep 0.1; done
  fail "the watcher for \"$1\" did not start"
}
watch "Now loading..." "$app/seen-load.log"
"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
wait $watcher || fail "no progress window was seen while the picture was read"
grep -q '#32770' "$app/seen-load.log" || fail "the progress window is no dialog: $(cat "$app/seen-load.log")"
"$run" "$state" "$driver" titled OvrinEDIT "big.bmp" 60000 || fail "no image window shows the picture"

watch "Now saving..." "$app/seen-save.log"
"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
"$run" "$state" "$driver" answer MES 10000 >/dev/null || fail "save-all did not report its format"
wait $watcher || fail "no progress window was seen while the picture was written"
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-progress.png" 2>/dev/null || true

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 60000 || fail "the program did not end after Quit"
stop_all
echo "progress windows: ok"
