#!/usr/bin/env bash
# The first Save of a new image in the real program: without a PNG save module the save dialog
# offers an mrf file, which is written; with the stand-in PNG writer installed it offers mr2, and
# that is written. Neither gives an error box.
#   first_save.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <stand-in dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 standins=$5
. "$(dirname "$0")/common.sh"

# Starts the program, makes a new image, saves it with the name the dialog offers into the
# application directory and quits; the name is left in $offered.
first_save() { # <what>
  printf 'lang 0\nNewImageX 40\nNewImageY 30\n' >"$app/ovrin.cfg"
  "$run" "$state" "$app/ovrin.exe" >"$app/$1.log" 2>&1 &
  "$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "$1: the main window did not appear"
  "$run" "$state" "$driver" command OvrinMAIN 32016 || fail "$1: could not send New image"
  "$run" "$state" "$driver" press "Create New Image" 3003 10000 || fail "$1: no new-image dialog"
  "$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "$1: no image window shows the new picture"
  "$run" "$state" "$driver" command OvrinMAIN 32027 || fail "$1: could not send Save"
  offered=$("$run" "$state" "$driver" named "Save As" 10000 | tr -d '\r') || fail "$1: no save dialog"
  [ -n "$offered" ] || fail "$1: the save dialog offers no name"
  "$run" "$state" "$driver" type "Save As" "Z:$(echo "$app/$offered" | tr / '\\')" 5000 ||
    fail "$1: the save dialog did not take the name"
  for _ in $(seq 1 100); do [ -s "$app/$offered" ] && break; sleep 0.1; done
  "$run" "$state" "$driver" answer Error 1000 >"$app/$1.error" 2>/dev/null &&
    fail "$1: the save gave an error: $(cat "$app/$1.error")"
  "$run" "$state" "$driver" command OvrinMAIN 32032 || fail "$1: could not send Quit"
  "$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "$1: the program did not end after Quit"
}

first_save plain
name=$offered
case "$name" in *.mrf) ;; *) fail "without a PNG writer the first save offers $name, not an mrf file" ;; esac
[ "$(head -c 4 "$app/$name")" = "QzFF" ] || fail "$name was not written as mrf"

mkdir -p "$app/SavePlug"
cp "$standins/pngsave.ovp" "$app/SavePlug/" || fail "the stand-in PNG writer is not built"
first_save with-png
name=$offered
case "$name" in *.mr2) ;; *) fail "with a PNG writer the first save offers $name, not an mr2 file" ;; esac
[ "$(head -c 4 "$app/$name")" = "QzF2" ] || fail "$name was not written as mr2"
stop_all
echo "first save: ok"
