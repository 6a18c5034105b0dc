#!/usr/bin/env bash
# Tablet input in the real program: without a tablet the pen selector's pressure boxes stay
# disabled; with the stand-in Wintab library (installed in the prefix's system directory and
# preferred to the system's own for this run only) the program opens its context on the main window
# with absolute pressure and the boxes are enabled.
#   tablet.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <stand-in wintab32.dll>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 fake=$5
. "$(dirname "$0")/common.sh"
system="$state/prefix/drive_c/windows/system32"
installed="$system/wintab32.dll"
# Copies replace the file rather than write into it: a prefix's files may be links to a template's.
trap '[ -f "$app/wintab32.system" ] && cp --remove-destination "$app/wintab32.system" "$installed"; finish' EXIT
printf 'lang 0\n' >"$app/ovrin.cfg"
printf '1280 1024\n"pens.ovp" 720 100 1\n' >"$app/Stat/subwin.pin"

run_once() {
  "$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
  "$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "$1: the main window did not appear"
  "$run" "$state" "$driver" shown Pens 10000 || fail "$1: the pen selector is not shown"
  sleep 1
  if "$run" "$state" "$driver" enabled Pens 600; then enabled=1; else enabled=0; fi
  "$run" "$state" "$driver" command OvrinMAIN 32032 || fail "$1: could not send Quit"
  "$run" "$state" "$driver" press "?" 7 3000 >/dev/null 2>&1
  "$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "$1: the program did not end after Quit"
}

run_once "no tablet"
[ "$enabled" -eq 0 ] || fail "the pressure boxes are enabled without a tablet"

[ -f "$installed" ] && cp "$installed" "$app/wintab32.system"
cp --remove-destination "$fake" "$installed" || fail "could not install the stand-in library"
export WINEDLLOVERRIDES="wintab32=n"
export OVRIN_FAKE_TABLET_LOG="Z:$(echo "$app/tablet.log" | tr / '\\')"
run_once "stand-in tablet"
[ "$enabled" -eq 1 ] || fail "the pressure boxes are disabled with a tablet"
log=$(tr -d '\r' <"$app/tablet.log" 2>/dev/null)
[ "$(grep -c '^open ' <<<"$log")" -eq 1 ] || fail "not one context opened: $log"
grep -qx 'open class=OvrinMAIN base=7ff0 data=15c2 move=15c2 mode=40 up=5 down=5' <<<"$log" ||
  fail "the context was opened otherwise: $log"

# A tablet without a pressure range counts as none.
export OVRIN_FAKE_TABLET_MAX=0
run_once "no pressure range"
[ "$enabled" -eq 0 ] || fail "the pressure boxes are enabled for a tablet without a pressure range"
[ "$(grep -c '^open ' "$app/tablet.log")" -eq 1 ] || fail "a context was opened without a pressure range"
stop_all
echo "tablet: ok"
