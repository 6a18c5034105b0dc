# Shared by the end-to-end scripts: sourced after run, state and appsrc are set.
# An instance left by an earlier run would take over this one (a second start hands its command
# line over): none may live in the prefix before a run or after a failure.
stop_all() {
  rm -f "$state/server" # the next start makes a persistent server again (cmake/wine-run.sh)
  WINEPREFIX="$state/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1
  WINEPREFIX="$state/prefix" /usr/lib/wine/wineserver -w >/dev/null 2>&1 # gone before the next test starts
}
fail() { echo "FAIL: $*"; stop_all; exit 1; }

# A test registered with a state directory of its own (OVRIN_WINE_TEMPLATE is set for it) starts
# on a fresh prefix and display and stops both when it ends, however it ends; one that shares the
# tree's state (and so runs alone) only stops the program's processes.
own_state=${OVRIN_WINE_TEMPLATE:+1}
finish() {
  [ -n "$own_state" ] && "$run" --stop "$state"
  [ -n "${KEEP_E2E:-}" ] || rm -rf "$app"
}

# A fresh application directory in $app, removed at the end unless KEEP_E2E is set.
app=$(mktemp -d /tmp/ovrin-e2e.XXXXXX)
trap finish EXIT
cp -r "$appsrc"/. "$app"/
rm -f "$app/ovrin.cfg"
[ -d "$state/prefix" ] && stop_all
if [ -n "$own_state" ]; then
  "$run" --stop "$state" # left by a run that was killed
  rm -rf "$state/prefix"
fi

# Raises the shown window of a class and takes a screenshot of the whole screen into a file; prints
# the window's rectangle (left top right bottom). Without a window manager Wine leaves an owned
# pop-up's X window below its owner's when the owner comes up later: raised, as a click would.
shoot_window() { # <class> <screenshot file>
  local rect left top right bottom xwin display=":$(cat "$state/display")"
  rect=$("$run" "$state" "$driver" rect "$1") || return 1
  read -r left top right bottom <<<"$rect"
  xwin=$(xwininfo -display "$display" -root -children |
    awk -v g="$((right - left))x$((bottom - top))+$left+$top" 'index($0, g) {print $1; exit}')
  [ -n "$xwin" ] && DISPLAY="$display" xdotool windowraise "$xwin"
  sleep 0.5
  import -display "$display" -window root "$2" 2>/dev/null || return 1
  echo "$rect"
}
