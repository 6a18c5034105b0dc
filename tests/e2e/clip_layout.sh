#!/usr/bin/env bash
# Docks the two tool windows into one clip window in the real program, shows the first through its
# button, drags the bar by its grip and the item window by its body, quits, restarts and finds the
# same bar at the same place with the same members, the first shown below it and the second
# hidden, and the item window where it was left; the layout file is written the same both times.
#   clip_layout.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe>
set -u
run=$1 state=$2 appsrc=$3 driver=$4
. "$(dirname "$0")/common.sh"
printf 'lang 0\n' >"$app/ovrin.cfg"
printf '1280 1024\n"pens.ovp" 720 100 1\n"swzinc.ovp" 920 100 1\n' >"$app/Stat/subwin.pin"
rm -f "$app/Stat/clipwin.dat"

start() {
  "$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
  "$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
}
quit() {
  "$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
  "$run" "$state" "$driver" press "?" 7 3000 >/dev/null 2>&1 # a save question: no
  "$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
}
rect() { "$run" "$state" "$driver" rect "$1" | tr -d '\r'; }
# The pen selector shown directly below the bar at its left edge, the layer manager hidden.
check_docked() {
  "$run" "$state" "$driver" shown Pens 10000 || fail "$1: the pen selector is not shown"
  ! "$run" "$state" "$driver" visible Swzinc || fail "$1: the layer manager is shown as well"
  read -r cl ct cr cb <<<"$(rect CLIPWIN)"
  read -r pl pt pr pb <<<"$(rect Pens)"
  [ -n "${cb:-}" ] && [ -n "${pb:-}" ] || fail "$1: no bar or no pen selector on the screen"
  [ "$pl" -eq "$cl" ] && [ "$pt" -eq $((cb + 1)) ] ||
    fail "$1: the pen selector is at $pl $pt, the bar at $cl $ct $cr $cb"
  # The bar holds two members: 3 x 23 + 16 pixels wide inside.
  [ "$("$run" "$state" "$driver" client CLIPWIN | tr -d '\r')" = "85 23" ] || fail "$1: the bar is not two members wide"
}

start
"$run" "$state" "$driver" shown Swzinc 10000 || fail "the layer manager is not shown"
"$run" "$state" "$driver" command OvrinMAIN 32088 || fail "could not send Create new clip-window"
"$run" "$state" "$driver" shown CLIPWIN 10000 || fail "no clip window appeared"
owner=$("$run" "$state" "$driver" owner CLIPWIN | tr -d '\r')
[ "$owner" = OvrinMAIN ] || fail "the new clip window is owned by ${owner:-nothing}, not the main window"
# The bar's popup items: row 0 (the pen selector), then row 1 (the layer manager).
"$run" "$state" "$driver" command CLIPWIN 32301 || fail "could not dock the pen selector"
"$run" "$state" "$driver" command CLIPWIN 32302 || fail "could not dock the layer manager"
sleep 1
! "$run" "$state" "$driver" visible Pens || fail "the first member is still shown after the second docked"
"$run" "$state" "$driver" click CLIPWIN 49 10 || fail "could not click the first member's button"
sleep 1
check_docked "docked"
# The grip at the bar's left end drags it; its member follows.
"$run" "$state" "$driver" drag CLIPWIN 5 10 105 60 || fail "could not drag the bar"
read -r cl ct cr cb <<<"$(rect CLIPWIN)"
[ "$cl $ct" = "500 350" ] || fail "the bar was not dragged by its grip: $cl $ct"
check_docked "dragged"
bar=$(rect CLIPWIN)
# The item window, dragged anywhere on its body, keeps its new place in the settings.
"$run" "$state" "$driver" shown ItemWin 10000 || fail "no item window"
read -r il it ir ib <<<"$(rect ItemWin)"
[ "$il $it $((ir - il)) $((ib - it))" = "700 10 94 34" ] || fail "the item window is at $il $it $ir $ib"
"$run" "$state" "$driver" drag ItemWin 47 17 147 67 || fail "could not drag the item window"
read -r il it ir ib <<<"$(rect ItemWin)"
[ "$il $it" = "800 60" ] || fail "the item window was not dragged by its body: $il $it"
quit
cfg=$(tr -d '\r' <"$app/ovrin.cfg")
grep -qx 'ItemWindowOrgX 800' <<<"$cfg" && grep -qx 'ItemWindowOrgY 60' <<<"$cfg" ||
  fail "the item window's place was not kept: $(grep -i itemwindow <<<"$cfg")"

# A text file: every line ends in CR LF.
[ "$(grep -c $'\r$' "$app/Stat/clipwin.dat")" -eq "$(tr -cd '\n' <"$app/Stat/clipwin.dat" | wc -c)" ] ||
  fail "the layout's lines do not all end in CR LF: $(od -c "$app/Stat/clipwin.dat" | head -5)"
layout=$(tr -d '\r' <"$app/Stat/clipwin.dat")
grep -q '^500 350 0$' <<<"$layout" || fail "the bar's place was not written: $layout"
[ "$(sed -n 2p <<<"$layout")" = 'SubWin "PenSelector" *' ] || fail "the shown member was not written first: $layout"
[ "$(grep -c '^SubWin ' <<<"$layout")" -eq 2 ] || fail "not two members written: $layout"
[ "$(tail -c 2 "$app/Stat/clipwin.dat")" = "##" ] || fail "the layout does not end with ##"
cp "$app/Stat/clipwin.dat" "$app/first.dat"

start
"$run" "$state" "$driver" shown CLIPWIN 10000 || fail "the clip window was not restored"
sleep 1
check_docked "restored"
[ "$(rect CLIPWIN)" = "$bar" ] || fail "the bar moved: $(rect CLIPWIN), was $bar"
read -r il it ir ib <<<"$(rect ItemWin)"
[ "$il $it" = "800 60" ] || fail "the item window did not come back where it was left: $il $it"
# On top and painted: the colour swatch at (2, 2) with the black drawing colour inside a white
# border, the pen swatch at (32, 2) white around the small pen at its centre.
sleep 1
import -display ":$(cat "$state/display")" -window root "$app/shot.png" 2>/dev/null || fail "no screenshot"
pixel() { convert "$app/shot.png" -crop "1x1+$((il + $1))+$((it + $2))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }
for spot in "17 17 #000000" "3 17 #FFFFFF" "47 17 #000000" "36 17 #FFFFFF"; do
  read -r x y want <<<"$spot"
  [ "$(pixel "$x" "$y")" = "$want" ] || fail "the item window shows $(pixel "$x" "$y") at $x $y, not $want"
done
quit
cmp -s "$app/first.dat" "$app/Stat/clipwin.dat" || fail "the layout changed: $(cat "$app/Stat/clipwin.dat")"
stop_all
echo "clip windows: ok"
