#!/usr/bin/env bash
# Sets up everything on a fresh Debian machine and runs the program: installs what is missing,
# builds what running needs (the 64-bit program, its modules and data files in build/x86_64/app;
# tools/test.sh builds the rest) and starts it under 64-bit Wine, on a virtual X display when
# there is none.
set -eu
cd "$(dirname "$0")/.."
tools/deps.sh
tools/build.sh app
app=build/x86_64/app
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$PWD/build/x86_64/wine-user" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ ! -d "$WINEPREFIX" ]; then
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
    /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  exec /usr/lib/wine/wine64 "$app/ovrin.exe" "$@"
fi
echo "no DISPLAY: running on a virtual display; its number is in build/x86_64/wine-user-state/display"
exec cmake/wine-run.sh build/x86_64/wine-user-state "$PWD/$app/ovrin.exe" "$@"
