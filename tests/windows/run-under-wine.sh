#!/usr/bin/env bash
# Runs a Windows program under Wine, with no display, in a private Wine prefix, and stops
# that prefix's Wine server when it ends.
#   run-under-wine.sh [--display] STATE_DIR PROGRAM.exe [ARGUMENT...]
# With --display, Wine gets a private Xvfb server of its own instead of no display.
# STATE_DIR holds the prefix and the home folder Wine sees. A missing or half-made prefix
# is set up first, and the time that takes is printed. Exits with the program's status.
#
# Sound goes through ALSA to a file instead of a sound card: the home folder's .asoundrc
# makes the default device write what it is given to STATE_DIR/audio-capture.raw, whose
# Windows path the program finds in AMPERO_WINE_AUDIO_CAPTURE.
set -euo pipefail

display=()
if [ "$1" = --display ]; then
    display=(xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24")
    shift
fi
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

milliseconds_since() { echo $((($(date +%s%N) - $1) / 1000000)); }

ready="$state/prefix-ready"
if [ ! -f "$ready" ]; then
    stop_wine_server
    rm -rf "$WINEPREFIX" "$HOME"
    mkdir -p "$HOME"
    started=$(date +%s%N)
    # From inside the state folder, so that no program of the same name in the current
    # folder is started instead of Wine's own.
    (
        cd "$state"
        wine wineboot --init 2>/dev/null
        wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null
        # Windows on the X server where there is one, and on none at all elsewhere.
        wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f >/dev/null
        wineserver --wait
    )
    touch "$ready"
    echo "Wine prefix set up in $(milliseconds_since "$started") ms"
fi

# The faces of the classic forms that Wine ships (fonts-wine), in the prefix's font folder,
# where this Wine looks for them.
cp -u /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/"

capture="$state/audio-capture.raw"
cat >"$HOME/.asoundrc" <<END
pcm.!default {
    type file
    slave.pcm "null"
    file "$capture"
    format "raw"
}
END
# Wine's drive Z: is the root folder.
export AMPERO_WINE_AUDIO_CAPTURE="Z:${capture//\//\\}"

started=$(date +%s%N)
status=0
"${display[@]}" wine "$program" "$@" || status=$?
echo "Wine ran $(basename "$program") in $(milliseconds_since "$started") ms" >&2
exit "$status"
