#!/usr/bin/env bash
# Prints a 300 x 200 picture from the real program on a PostScript printer of the prefix that
# writes to a file: the print dialog is confirmed, and the file must describe one A4 page with the
# picture in its colour at the largest whole scale (7 on 2329 x 3358 printer pixels), drawn as two
# halves per row.
#   print.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <printer.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 printer=$5 artifacts=$6
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"
mkdir -p "$artifacts"
# The printer lives in the prefix, which may be shared: it goes again whatever happens.
trap '"$run" "$state" "$printer" del OvrinPS >/dev/null 2>&1; finish' EXIT
printf 'lang 0\n' >"$app/ovrin.cfg"
"$run" "$state" "$printer" add OvrinPS FILE: || fail "could not set up the PostScript printer"

convert -size 300x200 xc:'#3366cc' -type TrueColor "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"
# The dialog's printer on its port "FILE:" writes a file of that name in the working directory.
cd "$app" || fail "no application directory"
out="$app/FILE:"
"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
"$run" "$state" "$driver" command OvrinMAIN 32057 || fail "could not send Print"
"$run" "$state" "$driver" press Print 1 10000 || fail "the print dialog did not open"
for _ in $(seq 1 200); do grep -q '%%EOF' "$out" 2>/dev/null && break; sleep 0.1; done
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
[ -s "$out" ] || fail "nothing was printed"
cp "$out" "$artifacts/ovrin-print.ps"
grep -q '^%%Title: Ovrin Test' "$out" || fail "the document is not named: $(grep -m1 '^%%Title' "$out")"
[ "$(grep -c '^%%Page:' "$out")" -eq 1 ] || fail "not one page"
mapfile -t page < <(python3 "$here/ps_pictures.py" "$out")
# A4 at 300 dpi is 2329 x 3358 printer pixels: the scale is min(2329 / 300, 3358 / 200) = 7.
[ "${page[0]}" = "595 842" ] || fail "the page is not A4: ${page[0]}"
[ "${page[1]}" = "400" ] || fail "not two halves for each of the 200 rows: ${page[1]} pictures"
[ "${page[2]}" = "0 0 2100 1400" ] || fail "the picture covers ${page[2]}, not 0 0 2100 1400"
[ "${page[3]}" = "3366cc" ] || fail "the printed colours are ${page[3]}"
stop_all
echo "print: ok"
