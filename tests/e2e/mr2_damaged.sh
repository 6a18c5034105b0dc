#!/usr/bin/env bash
# A damaged mr2 file in the real program, with the stand-in reader installed: its embedded PNG
# claims a chunk of 12 MB in a file of a few hundred bytes. Given on the command line after a good
# picture it is refused with one box, the good picture stays open and the program lives on;
# selected in the open dialog with the preview on it leaves the preview empty, without a box.
#   mr2_damaged.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <stand-in dir> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 standins=$5 artifacts=$6
. "$(dirname "$0")/common.sh"

mkdir -p "$app/ssPlug" "$app/pics" "$artifacts"
cp "$standins/pngread.spi" "$app/ssPlug/" || fail "the stand-in reader is not built"
convert -size 4x3 xc:orange "ppm:$app/pic.ppm" &&
  pnmtopng -compression=0 -nofilter "$app/pic.ppm" >"$app/pic.png" &&
  convert -size 40x30 xc:navy -type TrueColor "BMP3:$app/pics/good.bmp" || fail "could not make the pictures"
# The file as the program writes it (header, base record named "base", the PNG), the PNG's IDAT
# length then set to 12 MB.
/usr/bin/python3 - "$app/pic.png" "$app/pics/bad.mr2" <<'PY' || fail "could not make the damaged file"
import struct, sys
png = bytearray(open(sys.argv[1], "rb").read())
at = 8
while png[at + 4:at + 8] != b"IDAT":
    at += struct.unpack(">I", png[at:at + 4])[0] + 12
png[at:at + 4] = struct.pack(">I", 12 << 20)
record = struct.pack("<iiiiiI3H", 0, 0, 1, 255, 0, len(png), 255, 255, 255) + b"%Normal" + bytes(99)
open(sys.argv[2], "wb").write(b"QzF2" + struct.pack("<hh", 2, 0) + bytes(120) + record + b"base\0" + png)
PY
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

# From the command line, after a good picture: one box, then nothing more.
printf 'lang 0\n' >"$app/ovrin.cfg"
"$run" "$state" "$app/ovrin.exe" "$(winpath "$app/pics/good.bmp") $(winpath "$app/pics/bad.mr2")" >"$app/open.log" 2>&1 &
program=$!
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" answer Error 20000 >"$app/box1.log" || fail "the damaged file was not reported"
grep -q "Can't read MR2 format file" "$app/box1.log" || fail "the report was: $(tr '\n' ' ' <"$app/box1.log")"
"$run" "$state" "$driver" answer Error 3000 >"$app/box2.log" 2>/dev/null &&
  fail "a second box followed: $(tr '\n' ' ' <"$app/box2.log")"
"$run" "$state" "$driver" titled OvrinEDIT good.bmp 10000 || fail "the good picture is not shown any more"
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
wait $program || fail "the program ended with $? (see $app/open.log)"

# Selected in the open dialog with the preview on: an empty (white) thumbnail, no box.
printf 'lang 0\nPreviewInOpenDlg 1\nOpenFile_dir %s\n' "$(winpath "$app/pics")" >"$app/ovrin.cfg"
"$run" "$state" "$app/ovrin.exe" >"$app/preview.log" 2>&1 &
program=$!
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear for the preview"
"$run" "$state" "$driver" command OvrinMAIN 32017 || fail "could not send OpenImage"
"$run" "$state" "$driver" shown Thumb 20000 || fail "no preview window beside the open dialog"
# The open filter has no mr2 entry: a typed pattern lists the file, the only one, as a user does.
"$run" "$state" "$driver" type Open '*.mr2' 10000 || fail "could not type the pattern"
sleep 1
"$run" "$state" "$driver" key Open SysListView32 35 10000 || fail "no file list in the open dialog"
sleep 3
"$run" "$state" "$driver" answer Error 1000 >/dev/null 2>&1 && fail "the preview showed a box"
rect=$(shoot_window Thumb "$artifacts/ovrin-damaged-mr2-preview.png") ||
  fail "the preview window went away (the program died?), or no screenshot"
/usr/bin/python3 - "$artifacts/ovrin-damaged-mr2-preview.png" $rect <<'PY' || fail "the preview is not empty"
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB").load()
left, top = int(sys.argv[2]), int(sys.argv[3])
# The thumbnail area starts at (2, 2) of the window; empty is all white.
for (x, y) in [(0, 0), (38, 38), (75, 75), (10, 60)]:
    got = shot[left + 2 + x, top + 2 + y]
    if got != (255, 255, 255):
        print(f"thumbnail pixel {x},{y} is {got}, not white")
        sys.exit(1)
PY
"$run" "$state" "$driver" press Open 2 5000 || fail "could not cancel the open dialog"
"$run" "$state" "$driver" gone Thumb 10000 || fail "the preview window outlived the dialog"
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
wait $program || fail "the program ended with $? after the preview (see $app/preview.log)"
stop_all
echo "damaged mr2: ok"
