#!/usr/bin/env bash
# The real program applies each of the eleven neighbourhood and displacement effects from its
# Effect dialog, choosing it in the tree the shipped effect.tvf lays out, with values from a
# panel; every Apply changes the saved picture, and undoing all of them gives the original back.
#   effects.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <test plug-ins> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 plugins=$5 artifacts=$6
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 24\nEffectAutoPreview 1\nEffectPreviewMode 1\n' >"$app/ovrin.cfg"
mkdir -p "$app/Param"
cp "$plugins/p_num.ovp" "$app/Param/" || fail "no numeric parameter type for the panels"
panel() { # module, then values
  local file="$app/Effect/$1.ppd" y=0; shift
  printf '150 100\n' >"$file"
  for v in "$@"; do printf 'TestNumber 10 %d v %s\n' $((10 + 20 * y)) "$v" >>"$file"; y=$((y + 1)); done
}
panel fxalba 20 150
panel edge 2
panel fxgale 3
panel fxfern 80 1
panel wave 1 12 3 0
panel water 150 9 130
panel fxdune 300 11 0 70
panel ripple 200 8 120
panel fxelma 3 200 2 140

# Skin-like tones over blue, with a hard edge across the middle.
convert -size 96x64 gradient:'#f4b183-#2040c0' -fill '#303030' -draw 'rectangle 40,20 60,44' -type TrueColor \
  "BMP3:$app/pic.bmp" || fail "ImageMagick could not make the picture"
cp "$app/pic.bmp" "$app/original.bmp"
winpath="Z:$(echo "$app/pic.bmp" | tr / '\\')"

# Each "$run" "$driver" is one start of the driver; steps joined by -- share it.
save=(command OvrinMAIN 32098 -- answer MES 10000) # save-all, and its box telling the format
saved() {
  for _ in $(seq 1 100); do [ "$app/pic.bmp" -nt "$app/original.bmp" ] && return 0; sleep 0.1; done
  fail "the picture was not written"
}

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the picture"
sleep 1

# Folder 1 "Filter" and folder 2 "Distortion" of the shipped tree, in its order.
cp "$app/original.bmp" "$app/last.bmp"
for pick in "2 3 Ripple" "2 1 WaterWave" "2 2 Corrugated" "2 0 Wave" "2 4 Texture" "1 4 Soften" "0 4 SkinColor" \
            "1 3 Relief" "1 2 Wide" "1 0 Fxhaze" "1 1 Fxalbaration"; do
  set -- $pick
  "$run" "$state" "$driver" command OvrinMAIN 32045 -- shown "#32770" 10000 -- pick Effect 3006 "$1" "$2" 10000 \
    -- sleep 500 || fail "the Effect dialog did not open for $3, or $3 could not be chosen in its tree"
  [ "$3" = Wave ] && import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-effect-dialog.png" 2>/dev/null
  touch -d '2000-01-01' "$app/pic.bmp"
  "$run" "$state" "$driver" press Effect 3010 10000 -- gone "#32770" 10000 -- "${save[@]}" >>"$app/mes.log" ||
    fail "Apply of $3 did not close the dialog, or the save after it did not report its format"
  saved
  diff=$(compare -metric AE "$app/last.bmp" "$app/pic.bmp" null: 2>&1) || true
  [ "$diff" != "0" ] || fail "$3 did not change the picture"
  echo "$3: $diff pixels changed"
  cp "$app/pic.bmp" "$app/last.bmp"
done
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-effects.png" 2>/dev/null || true

undo=()
for _ in $(seq 1 11); do undo+=(command OvrinMAIN 32034 --); done
touch -d '2000-01-01' "$app/pic.bmp"
"$run" "$state" "$driver" "${undo[@]}" sleep 1000 -- "${save[@]}" >>"$app/mes.log" || fail "the undos or the save after them failed"
saved
diff=$(compare -metric AE "$app/original.bmp" "$app/pic.bmp" null: 2>&1) || true
[ "$diff" = "0" ] || fail "after eleven undos the picture differs from the original in $diff pixels"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
stop_all
echo "eleven effects from the dialog: ok"
