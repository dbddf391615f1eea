#!/usr/bin/env bash
# Starts the program on a private Xvfb server at 96 DPI, waits for its main window,
# checks the window's size and saves a screenshot. Usage: x11_window.sh PROGRAM OUTDIR
set -euo pipefail
program=$1
outdir=$2
mkdir -p "$outdir"

export QT_QPA_PLATFORM=xcb
export LC_ALL=C.UTF-8
xvfb-run --auto-servernum --server-args="-screen 0 1024x768x24 -dpi 96" \
    bash -c '
    set -euo pipefail
    "$0" & pid=$!
    trap "kill $pid 2>/dev/null || true" EXIT
    for _ in $(seq 100); do
        id=$(xwininfo -root -tree | awk "/\"Zelbor.s Battery Tools\"/ {print \$1; exit}")
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { echo "window never appeared"; exit 1; }
    sleep 0.5
    xwininfo -id "$id" > "$1/window.txt"
    width=$(awk "/Width:/ {print \$2}" "$1/window.txt")
    height=$(awk "/Height:/ {print \$2}" "$1/window.txt")
    echo "window $id: ${width}x${height}"
    import -window root "$1/main-window.png"
    # The client area is 233 x 143 pixels below a menu bar.
    [ "$width" -eq 233 ] || { echo "width $width, expected 233"; exit 1; }
    [ "$height" -gt 143 ] && [ "$height" -lt 190 ] || { echo "height $height"; exit 1; }
    kill -0 $pid || { echo "program exited"; exit 1; }
' "$program" "$outdir"
