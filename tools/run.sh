#!/usr/bin/env bash
# Sets up everything on a fresh Debian machine and runs the program: installs what is missing,
# builds what running needs (the 64-bit program, its modules and data files in build/x86_64/app;
# tools/test.sh builds the rest) and starts it under 64-bit Wine. Without a display the program
# runs on a virtual one that a VNC viewer on this machine can show; when the program ends, the
# display, its VNC server and the Wine server of this run are stopped.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh app
app="$PWD/build/x86_64/app"
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEPREFIX="$PWD/build/x86_64/wine-user" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

prepare_prefix() {
  [ -d "$WINEPREFIX" ] && return
  "$WINE64" wineboot --init >/dev/null 2>&1
  "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

if [ -n "${DISPLAY:-}" ]; then
  prepare_prefix
  exec "$WINE64" "$app/ovrin.exe" "$@"
fi

state="$PWD/build/x86_64/run-state"
mkdir -p "$state"
xvfb_pid="" vnc_pid="" wine_started=""
stop_all() {
  # Only what this run started: the programs of its prefix (a second start only hands its command
  # line to the first one) with their Wine server, then the VNC server and the display by their ids.
  if [ -n "$wine_started" ]; then
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
  fi
  if [ -n "$vnc_pid" ]; then kill "$vnc_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
}
trap stop_all EXIT
trap 'exit 130' INT TERM HUP

# Xvfb chooses a free display number and writes it to the given descriptor.
fifo="$state/displayfd"
rm -f "$fifo"; mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${OVRIN_SCREEN:-1280x1024x24}" -nolisten tcp 3>"$fifo" >"$state/xvfb.log" 2>&1 &
xvfb_pid=$!
display=""
read -r -t 20 display <"$fifo" || true
rm -f "$fifo"
if [ -z "$display" ]; then echo "the virtual display did not start (see $state/xvfb.log)" >&2; exit 1; fi
export DISPLAY=":$display"

# The VNC server listens on the loopback address only, from port 5900 on, without a password:
# whoever can log in to this machine can see and use the program.
x11vnc -display "$DISPLAY" -localhost -nopw -forever -shared -autoport 5900 >"$state/vnc.log" 2>&1 &
vnc_pid=$!
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^PORT=\([0-9]*\).*/\1/p' "$state/vnc.log" | head -n 1)
  [ -n "$port" ] && break
  kill -0 "$vnc_pid" 2>/dev/null || break
  sleep 0.2
done
if [ -z "$port" ]; then echo "the VNC server did not start (see $state/vnc.log)" >&2; exit 1; fi
cat <<TEXT
No display: the program runs on the virtual display $DISPLAY, served to VNC viewers at
127.0.0.1 port $port (loopback only, no password). On this machine:
    vncviewer 127.0.0.1::$port
From another machine, forward the port over SSH first, then view localhost::$port there:
    ssh -L $port:127.0.0.1:$port <this machine>
Quitting the program stops the display, the VNC server and Wine.
TEXT

wine_started=1
prepare_prefix
rc=0
"$WINE64" "$app/ovrin.exe" "$@" || rc=$?
exit $rc
