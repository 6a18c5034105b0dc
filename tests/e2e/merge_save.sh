#!/usr/bin/env bash
# Opens a layered mrf picture in the real program, merges its layers into the base (one layer
# half outside, one hidden, one at opacity 128), saves it through save-all as an 8-bit BMP and
# checks with ImageMagick that the file holds the blend computed here, pixel for pixel: a picture
# of few colours keeps them all in a real palette.
#   merge_save.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 artifacts=$5
. "$(dirname "$0")/common.sh"

printf 'lang 0\nDefaultSaveFormat BMP\nDefaultSaveDepth 8\n' >"$app/ovrin.cfg"
mkdir -p "$artifacts"

# The mrf file and the expected merge, as a PPM. Blends are alpha over with the layer's alpha
# scaled by its opacity, in integers.
/usr/bin/python3 - "$app/layers.mrf" "$app/expected.ppm" <<'EOF' || fail "could not write the picture"
import struct, sys
W, H = 40, 30
base = [[(40 + 4 * (x // 10), 80, 120 + 20 * (y // 10)) for x in range(W)] for y in range(H)]
# (x, y, w, h, status, opacity, colour)
layers = [(-5, 4, 20, 10, 1, 255, (200, 100, 0)),
          (30, 25, 16, 16, 0, 255, (0, 0, 255)),
          (10, 8, 16, 12, 1, 128, (10, 20, 250))]

def record(w, h, x, y, status, opacity, pixels, name):
    out = struct.pack('<7i3H', w, h, x, y, status, opacity, 0, 255, 255, 255) + name + b'\0'
    for row in pixels:
        for (r, g, b) in row:
            out += bytes((b, g, r, 255))
    return out

data = b'QzFF' + struct.pack('<hh', 2, 0) + bytes(56)
data += record(W, H, 0, 0, 1, 255, base, b'')
for (lx, ly, lw, lh, status, opacity, colour) in layers:
    data += record(lw, lh, lx, ly, status, opacity, [[colour] * lw for _ in range(lh)], b'layer')
open(sys.argv[1], 'wb').write(data)

merged = [row[:] for row in base]
for (lx, ly, lw, lh, status, opacity, colour) in layers:
    au = 255 * opacity // 255
    for y in range(max(ly, 0), min(ly + lh, H)):
        for x in range(max(lx, 0), min(lx + lw, W)):
            al = 255
            d = 255 * (au + al) - au * al
            merged[y][x] = tuple((u * 255 * au + l * al * (255 - au)) // d for u, l in zip(colour, merged[y][x]))
with open(sys.argv[2], 'wb') as f:
    f.write(b'P6\n%d %d\n255\n' % (W, H))
    for row in merged:
        for c in row:
            f.write(bytes(c))
EOF
winpath="Z:$(echo "$app/layers.mrf" | tr / '\\')"

"$run" "$state" "$app/ovrin.exe" "$winpath" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
"$run" "$state" "$driver" shown OvrinEDIT 10000 || fail "no image window shows the opened picture"

"$run" "$state" "$driver" command OvrinMAIN 32079 || fail "could not send MergeLayerAll"
"$run" "$state" "$driver" command OvrinMAIN 32098 || fail "could not send save-all"
"$run" "$state" "$driver" answer MES 10000 >"$app/mes.log" || fail "save-all did not report its format"
for _ in $(seq 1 100); do [ -s "$app/layers.bmp" ] && break; sleep 0.1; done
[ -s "$app/layers.bmp" ] || fail "the merged picture was not written"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-merged.png" 2>/dev/null || true

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"

info=$(identify -format '%w %h %z %r' "$app/layers.bmp")
[ "${info%% *}" = "40" ] || fail "the saved picture has another size: $info"
case "$info" in *PseudoClass*) ;; *) fail "the saved picture is not a palette picture: $info" ;; esac
[ "$(od -An -tu2 -j28 -N2 "$app/layers.bmp" | tr -d ' ')" = "8" ] || fail "the saved picture is not 8 bits a pixel"
diff=$(compare -metric AE "$app/expected.ppm" "$app/layers.bmp" null: 2>&1) || true
[ "$diff" = "0" ] || fail "the saved picture differs from the merge computed here in $diff pixels"
stop_all
echo "merge and 8-bit save: ok"
