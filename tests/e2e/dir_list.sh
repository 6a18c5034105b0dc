#!/usr/bin/env bash
# A directory named on the real program's command line is opened as a directory: a recording
# sub-window plug-in receives its list and walks it, and sees every entry with its flag.
#   dir_list.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <test plug-in dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 plugins=$5
. "$(dirname "$0")/common.sh"
printf 'lang 0\n' >"$app/ovrin.cfg"
cp "$plugins/s_recfile.ovp" "$app/Subwin/" || fail "no recording sub-window plug-in"
mkdir -p "$app/pictures/inner"
printf 'x' >"$app/pictures/one.bmp"
printf 'y' >"$app/pictures/two.txt"
winpath="Z:$(echo "$app/pictures" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
log="$app/Subwin/s_recfile.ovp.log"
for _ in $(seq 1 100); do grep -q '^Directory(' "$log" 2>/dev/null && break; sleep 0.1; done
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
[ -f "$log" ] || fail "the sub-window plug-in noted nothing"
files=$(grep '^File(' "$log" | tr -d '\r' | sort | tr '\n' ' ')
want="File(.,1); File(..,1); File(inner,1); File(one.bmp,0); File(two.txt,0); "
[ "$files" = "$want" ] || fail "the plug-in saw: $files (wanted $want)"
grep -q '^Directory(' "$log" || fail "no directory broadcast"
[ "$(grep -c '^Directory(' "$log")" -eq 1 ] || fail "the directory was broadcast more than once"
stop_all
echo "dir_list: ok"
