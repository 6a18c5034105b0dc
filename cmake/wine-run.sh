#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine for the tests.
#   wine-run.sh <state-dir> <program.exe> [args...]
#   wine-run.sh --stop <state-dir>     ends the state's Wine processes and display
# The state directory holds a private Wine prefix, the Xvfb display this tree uses and a
# persistent wineserver, so that each test process starts in about a tenth of a second.
# OVRIN_WINE_STATE, when set, names the state directory instead (tests that need a display of
# their own). OVRIN_WINE_TEMPLATE names a state directory whose prefix is made once and linked
# into each new prefix: a second or two instead of ten for a fresh one.
# Wine's output goes to a file first (Wine's children inherit stdout, and a pipe would stay
# open while they live), then is copied to our stdout without carriage returns.
set -u
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

if [ "$1" = --stop ]; then
  [ -d "$2" ] || exit 0
  WINEPREFIX="$2/prefix" $WINESERVER -k >/dev/null 2>&1
  WINEPREFIX="$2/prefix" $WINESERVER -w >/dev/null 2>&1
  # Only the server started for this state: its pid is noted with its start time (pids come back).
  read -r pid started 2>/dev/null <"$2/xvfb.pid" &&
    [ "$(awk '{print $22}' "/proc/$pid/stat" 2>/dev/null)" = "$started" ] && kill "$pid"
  rm -f "$2/xvfb.pid" "$2/display" "$2/server"
  exit 0
fi

state=${OVRIN_WINE_STATE:-$1}; shift
[ -d "$state" ] || mkdir -p "$state"
case $state in /*) ;; *) state=$PWD/$state ;; esac
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

# True when the display noted in the state is served by the Xvfb started for it (its pid and start
# time match, so a pid that came back to another process does not count). Builtins only.
display_alive() {
  local d pid started stat
  [ -s "$state/display" ] && read -r d <"$state/display" && [ -n "$d" ] && [ -e "/tmp/.X11-unix/X$d" ] &&
    read -r pid started <"$state/xvfb.pid" 2>/dev/null && read -r -a stat <"/proc/$pid/stat" 2>/dev/null &&
    [ "${stat[21]}" = "$started" ]
}

start_display() {
  if display_alive; then cat "$state/display"; return; fi
  # Xvfb chooses a free display number and writes it to the given descriptor.
  local fifo="$state/displayfd.$$"; rm -f "$fifo"; mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 "${OVRIN_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 8>&- 9>&- &
  echo "$! $(awk '{print $22}' "/proc/$!/stat" 2>/dev/null)" >"$state/xvfb.pid" # for --stop
  local d; read -r -t 20 d <"$fifo"; rm -f "$fifo"
  echo "$d" >"$state/display"; echo "$d"
}

make_prefix() { # <prefix> <log>
  WINEPREFIX=$1 $WINE64 wineboot --init >"$2" 2>&1 8>&- 9>&-
  WINEPREFIX=$1 $WINESERVER -w
  # No window manager under Xvfb: unmanaged windows close without a 2-second stall.
  WINEPREFIX=$1 $WINE64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$2" 2>&1 8>&- 9>&-
  WINEPREFIX=$1 $WINESERVER -w
  # Wine's own fonts (captions, scroll arrows, dialog faces) into the prefix.
  cp /usr/share/wine/fonts/* "$1/drive_c/windows/Fonts/" 2>/dev/null
  touch "$1/.ovrin-ready"
}

# The template's files are hard links in the new prefix. What Wine rewrites in place (the
# registry, the user's folders) is copied instead, so the template never changes after it is made.
link_prefix() { # <template state dir>
  local tpl; tpl=$(mkdir -p "$1" && cd "$1" && pwd)
  (
    flock 8
    [ -f "$tpl/prefix/.ovrin-ready" ] || { rm -rf "$tpl/prefix"; make_prefix "$tpl/prefix" "$tpl/wineboot.log"; }
  ) 8>"$tpl/lock"
  cp -al "$tpl/prefix" "$WINEPREFIX"
  for f in "$tpl"/prefix/*.reg "$tpl/prefix/.update-timestamp"; do
    [ -e "$f" ] && cp --remove-destination "$f" "$WINEPREFIX/"
  done
  rm -rf "$WINEPREFIX/drive_c/users"
  cp -a "$tpl/prefix/drive_c/users" "$WINEPREFIX/drive_c/"
}

# A test starts a few hundred programs in one state: once the prefix, display and server are there
# (the server noted by the slow path below, the note removed by --stop and by the end-to-end
# scripts' stop), a start runs no helper process.
if [ -f "$WINEPREFIX/.ovrin-ready" ] && [ -f "$state/server" ] && display_alive; then :; else (
  flock 9
  d=$(start_display)
  export DISPLAY=":$d"
  if [ ! -f "$WINEPREFIX/.ovrin-ready" ]; then
    rm -rf "$WINEPREFIX"
    if [ -n "${OVRIN_WINE_TEMPLATE:-}" ]; then
      link_prefix "$OVRIN_WINE_TEMPLATE"
    else
      make_prefix "$WINEPREFIX" "$state/wineboot.log"
    fi
  fi
  # A persistent server (daemons must not inherit the lock descriptor) for this prefix; when one runs already this call just ends.
  $WINESERVER -p >/dev/null 2>&1 9>&-
  touch "$state/server"
) 9>"$state/lock"; fi

read -r d <"$state/display"
export DISPLAY=":$d"
out=$state/out.$$
# Now and then Wine's loader gives up before the program starts (an address range it could not
# reserve, a server that would not answer): the run ends at once, printing nothing of the
# program's. Such a start is tried again; the program's own failures never are.
for attempt in 1 2 3; do
  started=${EPOCHREALTIME//[!0-9]/}
  "$WINE64" "$@" >"$out" 2>&1 </dev/null
  rc=$?
  took=$(( (${EPOCHREALTIME//[!0-9]/} - started) / 1000 ))
  if [ $rc -eq 0 ] || [ $attempt -eq 3 ] || [ $took -ge 1000 ] ||
     { [ -s "$out" ] && ! grep -qaE '^(wine|preloader|wine client error|wineserver)[: ]' "$out"; }; then
    break
  fi
  echo "wine-run: start-up failed after ${took} ms (exit $rc), trying again:" >&2
  tr -d '\r' <"$out" | head -5 >&2
done
tr -d '\r' <"$out"
rm -f "$out"
exit $rc
