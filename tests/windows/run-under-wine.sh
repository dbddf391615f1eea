#!/usr/bin/env bash
# Runs a Windows program under Wine, with no display, in a private Wine prefix, and stops
# that prefix's Wine server when it ends.
#   run-under-wine.sh STATE_DIR PROGRAM.exe [ARGUMENT...]
# STATE_DIR holds the prefix and the home folder Wine sees. A missing or half-made prefix
# is set up first, and the time that takes is printed. Exits with the program's status.
set -euo pipefail

state=$(realpath -m "$1")
program=$2
shift 2

export WINEPREFIX="$state/prefix"
export HOME="$state/home"
export WINEDEBUG=-all
# No .NET or HTML engine: Wine would offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

stop_wine_server() { wineserver -k 2>/dev/null || true; }
trap stop_wine_server EXIT

ready="$state/prefix-ready"
if [ ! -f "$ready" ]; then
    stop_wine_server
    rm -rf "$WINEPREFIX" "$HOME"
    mkdir -p "$HOME"
    started=$(date +%s%N)
    wine wineboot --init 2>/dev/null
    wineserver --wait
    touch "$ready"
    echo "Wine prefix set up in $(( ($(date +%s%N) - started) / 1000000 )) ms"
fi

started=$(date +%s%N)
status=0
wine "$program" "$@" || status=$?
echo "Wine ran $(basename "$program") in $(( ($(date +%s%N) - started) / 1000000 )) ms" >&2
exit "$status"
