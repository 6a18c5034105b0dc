#!/usr/bin/env bash
# Plug-in installation and maintenance in the real program: a draw module and a name dictionary
# dropped into the application directory are installed at start-up; the maintenance dialog moves a
# method up, sets the new one aside and brings it back; the plug-in directory dialog's Ok says when
# its directories take effect. The draw list written at quit shows the order and what is loaded.
#   plugin_maintenance.sh <wine-run.sh> <wine state dir> <application dir> <driver.exe> <test plug-in dir> <artifact dir>
set -u
run=$1 state=$2 appsrc=$3 driver=$4 plugins=$5 artifacts=$6
. "$(dirname "$0")/common.sh"
mkdir -p "$artifacts"
printf 'lang 0\n' >"$app/ovrin.cfg"
printf 'dwopal.ovp\ndwpike.ovp\nd_click.ovp\n' >"$app/Stat/draw.pin"
# Only the two listed draw methods stay installed, so the list written at quit is these rows alone.
find "$app/Draw" -name '*.ovp' ! -name dwopal.ovp ! -name dwpike.ovp -delete
cp "$plugins/d_click.ovp" "$app/" || fail "no test draw module"
printf 'draw "Test Click" "Kuriku"\n' >"$app/names.pld.JPN"

# Waits up to 10 s for a test on files to hold.
until_true() {
  for _ in $(seq 1 50); do eval "$1" && return 0; sleep 0.2; done
  return 1
}
dlg="Plug-in maintenance"

"$run" "$state" "$app/ovrin.exe" >"$app/run.log" 2>&1 &
"$run" "$state" "$driver" wait OvrinMAIN 30000 || fail "the main window did not appear"
[ -f "$app/Draw/d_click.ovp" ] && [ ! -e "$app/d_click.ovp" ] || fail "the dropped draw module was not installed"
[ -f "$app/OldPlug/names.pld.JPN" ] && [ ! -e "$app/names.pld.JPN" ] || fail "the dropped dictionary was not moved"
grep -q $'^Draw\t"Test Click"\t\t\t"Kuriku"\r$' "$app/Stat/othDic.JPN" || fail "the dictionary was not merged"

# Row 1 chosen and moved up; row 2 (the new module) set aside.
"$run" "$state" "$driver" command OvrinMAIN 32081 || fail "could not ask for the maintenance dialog"
"$run" "$state" "$driver" tap "$dlg" 100 76 10000 || fail "the maintenance dialog did not open"
"$run" "$state" "$driver" press "$dlg" 3000 5000 || fail "could not press Up"
"$run" "$state" "$driver" tap "$dlg" 40 99 5000 || fail "could not release the keep button"
"$run" "$state" "$driver" press "$dlg" 1 5000 || fail "could not press Delete"
until_true '[ -f "$app/Draw/d_click.ovp.del" ] && [ ! -e "$app/Draw/d_click.ovp" ]' ||
  fail "Delete did not set the module aside"
"$run" "$state" "$driver" press "$dlg" 2 5000 || fail "could not press End"
sleep 1 # the dialog is gone before it is asked for again

# Brought back from the reserve.
"$run" "$state" "$driver" command OvrinMAIN 32081 || fail "could not ask for the maintenance dialog"
"$run" "$state" "$driver" tap "$dlg" 40 283 10000 || fail "the maintenance dialog did not open again"
sleep 1
import -display ":$(cat "$state/display")" -window root "$artifacts/ovrin-plugin-maintenance.png" 2>/dev/null
"$run" "$state" "$driver" press "$dlg" 3002 5000 || fail "could not press Install"
until_true '[ -f "$app/Draw/d_click.ovp" ] && [ ! -e "$app/Draw/d_click.ovp.del" ]' ||
  fail "Install did not bring the module back"
"$run" "$state" "$driver" press "$dlg" 2 5000 || fail "could not press End"
sleep 1

"$run" "$state" "$driver" command OvrinMAIN 32085 || fail "could not ask for the plug-in directory dialog"
"$run" "$state" "$driver" press "Plug-in directory" 3022 10000 || fail "the plug-in directory dialog did not open"
said=$("$run" "$state" "$driver" answer Warning 10000 | tr -d '\r')
grep -qx "Maintenance is completed after restarting Ovrin" <<<"$said" || fail "Ok did not say when it takes effect: $said"

"$run" "$state" "$driver" command OvrinMAIN 32032 || fail "could not send Quit"
"$run" "$state" "$driver" gone OvrinMAIN 30000 || fail "the program did not end after Quit"
list=$(tr -d '\r' <"$app/Stat/draw.pin" | tr '\n' ' ')
[ "$list" = "\"dwpike.ovp\" \"dwopal.ovp\" \"d_click.ovp\" " ] || fail "the draw methods at quit: $list"
stop_all
echo "plug-in maintenance: ok"
