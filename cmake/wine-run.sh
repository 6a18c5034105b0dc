#!/usr/bin/env bash
# Runs one Windows program under 64-bit Wine for the tests.
#   wine-run.sh <state-dir> <program.exe> [args...]
# The state directory holds a private Wine prefix, the Xvfb display this tree uses and a
# persistent wineserver, so that each test process starts in about a tenth of a second.
# Wine's output goes to a file first (Wine's children inherit stdout, and a pipe would stay
# open while they live), then is copied to our stdout without carriage returns.
set -u
state=$(mkdir -p "$1" && cd "$1" && pwd); shift
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$state/prefix" WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

start_display() {
  if [ -s "$state/display" ]; then
    local d; d=$(cat "$state/display")
    if [ -e "/tmp/.X11-unix/X$d" ] && xdpyinfo -display ":$d" >/dev/null 2>&1; then echo "$d"; return; fi
  fi
  # Xvfb chooses a free display number and writes it to the given descriptor.
  local fifo="$state/displayfd.$$"; rm -f "$fifo"; mkfifo "$fifo"
  setsid Xvfb -displayfd 3 -screen 0 "${OVRIN_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 9>&- &
  local d; read -r -t 20 d <"$fifo"; rm -f "$fifo"
  echo "$d" >"$state/display"; echo "$d"
}

(
  flock 9
  d=$(start_display)
  export DISPLAY=":$d"
  if [ ! -f "$WINEPREFIX/.ovrin-ready" ]; then
    rm -rf "$WINEPREFIX"
    $WINE64 wineboot --init >"$state/wineboot.log" 2>&1 9>&-
    $WINESERVER -w
    # No window manager under Xvfb: unmanaged windows close without a 2-second stall.
    $WINE64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >>"$state/wineboot.log" 2>&1 9>&-
    $WINESERVER -w
    # Wine's own fonts (captions, scroll arrows, dialog faces) into the prefix.
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    touch "$WINEPREFIX/.ovrin-ready"
  fi
  # A persistent server (daemons must not inherit the lock descriptor) for this prefix; when one runs already this call just ends.
  $WINESERVER -p >/dev/null 2>&1 9>&-
) 9>"$state/lock"

export DISPLAY=":$(cat "$state/display")"
out=$(mktemp "$state/out.XXXXXX")
# Now and then Wine's loader gives up before the program starts (an address range it could not
# reserve, a server that would not answer): the run ends at once, printing nothing of the
# program's. Such a start is tried again; the program's own failures never are.
for attempt in 1 2 3; do
  started=$(date +%s%N)
  "$WINE64" "$@" >"$out" 2>&1 </dev/null
  rc=$?
  took=$(( ($(date +%s%N) - started) / 1000000 ))
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
