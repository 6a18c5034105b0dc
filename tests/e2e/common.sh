# Shared by the end-to-end scripts: sourced after run, state and appsrc are set.
# An instance left by an earlier run would take over this one (a second start hands its command
# line over): none may live in the prefix before a run or after a failure (the tests run alone).
stop_all() {
  WINEPREFIX="$state/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1
  WINEPREFIX="$state/prefix" /usr/lib/wine/wineserver -w >/dev/null 2>&1 # gone before the next test starts
}
fail() { echo "FAIL: $*"; stop_all; exit 1; }

# A fresh application directory in $app, removed at the end unless KEEP_E2E is set.
app=$(mktemp -d /tmp/ovrin-e2e.XXXXXX)
trap '[ -n "${KEEP_E2E:-}" ] || rm -rf "$app"' EXIT
cp -r "$appsrc"/. "$app"/
rm -f "$app/ovrin.cfg"
[ -d "$state/prefix" ] && stop_all
