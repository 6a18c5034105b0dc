#!/usr/bin/env bash
# The open dialog's preview in the real program: with PreviewInOpenDlg on, selecting a 30 x 20 red
# picture in the dialog shows it in the "Thumb" window beside the dialog, fitted to 76 x 49 at row
# 13 of the 76 x 76 picture on dark grey; cancelling the dialog takes the window away.
#   open_preview.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"
mkdir -p "$app/pics" "$artifacts"
convert -size 30x20 xc:red -type TrueColor "BMP3:$app/pics/red.bmp" || fail "ImageMagick could not make the picture"
printf 'lang 0\nPreviewInOpenDlg 1\nOpenFile_dir %s\n' "Z:$(echo "$app/pics" | tr / '\\')" >"$app/ovrin.cfg"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" command OvrinMAIN 32017 || fail "could not send OpenImage"
"$run" "$state" "$driver" shown Thumb 20000 || fail "no preview window beside the open dialog"
# VK_END: the last entry of the list, the one picture.
"$run" "$state" "$driver" key Open SysListView32 35 10000 || fail "no file list in the open dialog"
sleep 2
rect=$(shoot_window Thumb "$artifacts/ovrin-open-preview.png") || fail "the preview window went away, or no screenshot"
/usr/bin/python3 - "$artifacts/ovrin-open-preview.png" $rect <<'PY' || fail "the preview does not show the picture"
import sys
from PIL import Image
shot = Image.open(sys.argv[1]).convert("RGB").load()
left, top = int(sys.argv[2]), int(sys.argv[3])
# Thumbnail pixel (x, y) lies at (2 + x, 2 + y) in the window: rows 13 to 61 red, the rest grey.
for (x, y, want) in [(0, 20, (255, 0, 0)), (75, 61, (255, 0, 0)), (38, 13, (255, 0, 0)),
                     (38, 12, (64, 64, 64)), (38, 62, (64, 64, 64)), (0, 0, (64, 64, 64))]:
    got = shot[left + 2 + x, top + 2 + y]
    if got != want:
        print(f"thumbnail pixel {x},{y} is {got}, not {want}")
        sys.exit(1)
PY
"$run" "$state" "$driver" press Open 2 5000 || fail "could not cancel the open dialog"
"$run" "$state" "$driver" gone Thumb 10000 || fail "the preview window outlived the dialog"
"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
tr -d '\r' <"$app/ovrin.cfg" | grep -Eq '^PreviewInOpenDlg +1 *$' || fail "the preview switch was not written back"
stop_all
echo "open dialog preview: ok"
