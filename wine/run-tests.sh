#!/bin/sh
# Runs Windows test programs under Wine, in a fresh prefix of their own.
#   run-tests.sh PREFIX PROGRAM.exe...
# Environment: WINE (default /usr/lib/wine/wine64), WINESERVER (default
# /usr/lib/wine/wineserver), WINE_STEP_TIMEOUT in seconds (default 120).
set -u
[ $# -ge 2 ] || { echo "usage: $0 PREFIX PROGRAM.exe..." >&2; exit 2; }
prefix=$1
shift
wine=${WINE:-/usr/lib/wine/wine64}
wineserver=${WINESERVER:-/usr/lib/wine/wineserver}
step_timeout=${WINE_STEP_TIMEOUT:-120}

case $prefix in
/*) ;;
*) echo "$0: the prefix must be an absolute path: $prefix" >&2; exit 2 ;;
esac

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG=-all
# No display, no Mono or Gecko installer prompts, no desktop integration.
export DISPLAY= WAYLAND_DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# Wine keeps its server's socket folder under TMPDIR; one beside the prefix
# goes with it.
export TMPDIR="$prefix.tmp"

stop_wine() {
    "$wineserver" -k >/dev/null 2>&1
    timeout 30 "$wineserver" -w >/dev/null 2>&1
    rm -rf "$TMPDIR"
}
trap stop_wine EXIT
trap 'exit 130' INT TERM HUP

# Every step is bounded, so that a stuck Wine still ends in a report.
bounded() {
    timeout --kill-after=10 "$step_timeout" "$@"
}

stop_wine
rm -rf "$prefix"
mkdir -p "$prefix" "$TMPDIR" || exit 1
if ! bounded "$wine" wineboot --init >"$prefix.wineboot.log" 2>&1; then
    echo "wineboot failed; its output:" >&2
    cat "$prefix.wineboot.log" >&2
    exit 1
fi
bounded "$wineserver" -w

status=0
for program in "$@"; do
    echo "== $program"
    bounded "$wine" "$program"
    result=$?
    if [ $result -ne 0 ]; then
        echo "== $program failed with status $result"
        status=1
    fi
done
exit $status
